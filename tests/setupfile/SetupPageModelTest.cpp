// The settings file's pages without controls: byte tables, ranges, defaults, mirrors, compare,
// restore, checksum and validation. Expected values are written out here from the file's
// description, not taken from the library's tables.

#include "setupfile/CSetupLogOnModel.h"
#include "setupfile/CSetupSTMI0Model.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupChecksum.h"
#include "setupfile/SetupTextFields.h"
#include "setupfile/TimeZoneList.h"
#include "tests/setupfile/SetupFileFixture.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace tachy::setupfile;
using tachy::test::NonZeroSettings;
using tachy::test::PatternBuffer;
using tachy::test::TachyIdentity;

namespace {

struct Range {
    int offset;
    int maximum;
    int loadDefault;
};

// The second page's bytes with their largest value and load default.
const std::vector<Range> kLogOnRanges = {
    {160, 2, 1}, {161, 3, 2}, {162, 4, 0}, {163, 1, 1}, {288, 3, 2},   {289, 3, 2},
    {290, 3, 2}, {291, 3, 2}, {292, 1, 0}, {425, 1, 0}, {426, 1, 0},   {548, 3, 0},
    {674, 2, 0}, {800, 1, 1}, {801, 1, 1}, {802, 2, 1}, {929, 38, 10},
};

std::span<const std::uint8_t> Bytes(const SetupBuffer& buffer) {
    return buffer;
}

std::unique_ptr<ISetupPageModel> FirstPage() {
    return ISetupPageModel::Create(0);
}

std::unique_ptr<ISetupPageModel> SecondPage() {
    return ISetupPageModel::Create(5);
}

} // namespace

TEST(SetupPageModel, ProductIdsChooseThePage) {
    ASSERT_NE(ISetupPageModel::Create(0), nullptr);
    EXPECT_EQ(ISetupPageModel::Create(0)->Kind(), SetupPageKind::STMI0);
    EXPECT_EQ(ISetupPageModel::Create(5)->Kind(), SetupPageKind::LogOn);
    EXPECT_EQ(ISetupPageModel::Create(7)->Kind(), SetupPageKind::LogOn);
    for (const int other : {-1, 1, 4, 6, 400}) {
        EXPECT_EQ(ISetupPageModel::Create(other), nullptr) << other;
    }
}

TEST(SetupPageModel, ChecksumMakesBytes64To1312SumToZero) {
    tachy::test::TempFolder folder;
    std::string pythonSays;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        SetupBuffer buffer = PatternBuffer(seed);
        UpdateChecksum(buffer);
        EXPECT_TRUE(HasValidChecksum(Bytes(buffer)));
        folder.write("file" + std::to_string(seed), tachy::test::ToString(buffer));
        // Bytes before 64 are not covered; any byte from 64 to 1312 is.
        buffer[0] ^= 0xFF;
        buffer[63] ^= 0xFF;
        EXPECT_TRUE(HasValidChecksum(Bytes(buffer)));
        for (const std::size_t offset : {64U, 700U, 1311U, 1312U}) {
            SetupBuffer changed = buffer;
            changed[offset] ^= 0x01;
            EXPECT_FALSE(HasValidChecksum(Bytes(changed))) << offset;
        }
    }
    EXPECT_EQ(
        tachy::test::runCommand("cd '" + folder.path().string() +
                                "' && python3 -S -c \"print(*[(len(d), sum(d[64:]) % 256) for d in "
                                "(open('file%d' % i, 'rb').read() for i in range(1, 5))])\""),
        "(1313, 0) (1313, 0) (1313, 0) (1313, 0)\n");
}

TEST(SetupPageModel, AllZeroFilePassesTheChecksumButFailsOnTheEmptyMaker) {
    const SetupBuffer zeros{};
    EXPECT_TRUE(HasValidChecksum(Bytes(zeros)));
    EXPECT_EQ(ComputeChecksum(Bytes(zeros)), 0);
    EXPECT_EQ(FirstPage()->Validate(Bytes(zeros), TachyIdentity()), SetupFileStatus::WrongMaker);
    EXPECT_EQ(SecondPage()->Validate(Bytes(zeros), TachyIdentity()), SetupFileStatus::WrongMaker);
}

TEST(SetupPageModel, ValidationRefusesWrongSizeChecksumMakerAndFirstPageModel) {
    const auto identity = TachyIdentity();
    SetupBuffer good{};
    FirstPage()->NewFileDefaults(good, identity);
    ASSERT_EQ(FirstPage()->Validate(Bytes(good), identity), SetupFileStatus::Valid);

    std::vector<std::uint8_t> shorter(good.begin(), good.end() - 1);
    std::vector<std::uint8_t> longer(good.begin(), good.end());
    longer.push_back(0);
    EXPECT_EQ(FirstPage()->Validate(shorter, identity), SetupFileStatus::WrongSize);
    EXPECT_EQ(FirstPage()->Validate(longer, identity), SetupFileStatus::WrongSize);
    EXPECT_EQ(SecondPage()->Validate({}, identity), SetupFileStatus::WrongSize);

    SetupBuffer badSum = good;
    badSum[1312] ^= 0x10;
    EXPECT_EQ(FirstPage()->Validate(Bytes(badSum), identity), SetupFileStatus::WrongChecksum);
    EXPECT_EQ(SecondPage()->Validate(Bytes(badSum), identity), SetupFileStatus::WrongChecksum);

    // Maker compared exactly and case-sensitively; the checksum made to match each time.
    SetupBuffer lowerMaker = good;
    WriteTextField(lowerMaker, SetupTextField::MakerName, "tachy", 1252);
    UpdateChecksum(lowerMaker);
    EXPECT_EQ(FirstPage()->Validate(Bytes(lowerMaker), identity), SetupFileStatus::WrongMaker);
    EXPECT_EQ(SecondPage()->Validate(Bytes(lowerMaker), identity), SetupFileStatus::WrongMaker);
    SetupBuffer longerMaker = good;
    WriteTextField(longerMaker, SetupTextField::MakerName, "TACHY ", 1252);
    UpdateChecksum(longerMaker);
    EXPECT_EQ(FirstPage()->Validate(Bytes(longerMaker), identity), SetupFileStatus::WrongMaker);

    // The model is checked on the first page only.
    SetupBuffer otherModel = good;
    WriteTextField(otherModel, SetupTextField::ModelName, "TACHY-500", 1252);
    UpdateChecksum(otherModel);
    EXPECT_EQ(FirstPage()->Validate(Bytes(otherModel), identity), SetupFileStatus::WrongModel);
    EXPECT_EQ(SecondPage()->Validate(Bytes(otherModel), identity), SetupFileStatus::Valid);
}

TEST(SetupPageModel, FirstPageDefaultsWriteTheFullFactoryFileThatValidates) {
    const std::map<int, int> expected = {
        {160, 2}, {161, 1}, {162, 2}, {163, 1},  {166, 1},     {167, 1},     {169, 2},    {170, 1},
        {288, 1}, {289, 1}, {290, 1}, {291, 1},  {293, 1},     {417, 160},   {421, 240},  {425, 1},
        {426, 1}, {544, 2}, {545, 1}, {546, 1},  {549, 2},     {550, 2},     {800, 1},    {801, 1},
        {802, 1}, {803, 1}, {928, 1}, {929, 10}, {1058, 0x10}, {1059, 0x32}, {1060, 0x90}};
    const auto identity = TachyIdentity();
    SetupBuffer buffer = PatternBuffer(7);
    const SetupBuffer before = buffer;
    FirstPage()->ButtonDefaults(buffer, identity);
    EXPECT_EQ(NonZeroSettings(buffer), expected);
    // Text fields A and B (bytes 0 to 63) are the recorder's and stay.
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 64, before.begin()));
    EXPECT_EQ(ReadTextField(Bytes(buffer), SetupTextField::ModelName, 1252), "TACHY-100");
    EXPECT_EQ(ReadTextField(Bytes(buffer), SetupTextField::MakerName, 1252), "TACHY");
    EXPECT_EQ(ReadTextField(Bytes(buffer), SetupTextField::StructureVersion, 1252), "1.0");
    EXPECT_EQ(buffer[64 + 9], 0); // NUL-padded
    EXPECT_TRUE(HasValidChecksum(Bytes(buffer)));
    EXPECT_EQ(FirstPage()->ModelNameText(buffer, 1252), "TACHY-100");

    // The page's own factory defaults do nothing; a new or repaired file gets the full set,
    // so that it passes validation at the next start instead of being all zeros.
    SetupBuffer untouched = before;
    FirstPage()->FactoryDefaults(untouched, identity);
    EXPECT_EQ(untouched, before);
    SetupBuffer created{};
    FirstPage()->NewFileDefaults(created, identity);
    EXPECT_EQ(NonZeroSettings(created), expected);
    EXPECT_EQ(FirstPage()->Validate(Bytes(created), identity), SetupFileStatus::Valid);
}

TEST(SetupPageModel, SecondPageFactoryDefaultsWriteOnlyTheMakerAndTheFactoryBytes) {
    const std::map<int, int> expected = {
        {160, 1},  {161, 2},    {163, 1},     {166, 1},     {167, 1},    {169, 1}, {170, 2},
        {172, 95}, {288, 3},    {289, 2},     {290, 1},     {291, 1},    {293, 1}, {295, 15},
        {296, 15}, {421, 0x0E}, {422, 1},     {425, 1},     {426, 1},    {430, 1}, {432, 50},
        {433, 1},  {434, 1},    {436, 1},     {437, 1},     {546, 1},    {673, 1}, {800, 1},
        {801, 1},  {802, 1},    {803, 2},     {805, 1},     {806, 1},    {807, 1}, {808, 1},
        {928, 1},  {929, 11},   {1058, 0x10}, {1059, 0x32}, {1060, 0x90}};
    const auto identity = TachyIdentity();
    SetupBuffer buffer = PatternBuffer(3);
    SecondPage()->FactoryDefaults(buffer, identity);
    EXPECT_EQ(NonZeroSettings(buffer), expected);
    EXPECT_EQ(ReadTextField(Bytes(buffer), SetupTextField::MakerName, 1252), "TACHY");
    EXPECT_EQ(ReadTextField(Bytes(buffer), SetupTextField::ModelName, 1252), "");
    EXPECT_EQ(ReadTextField(Bytes(buffer), SetupTextField::StructureVersion, 1252), "");
    EXPECT_EQ(SecondPage()->Validate(Bytes(buffer), identity), SetupFileStatus::Valid);
    EXPECT_EQ(SecondPage()->ModelNameText(buffer, 1252), "");

    SetupBuffer created = PatternBuffer(3);
    SecondPage()->NewFileDefaults(created, identity);
    EXPECT_EQ(created, buffer);
}

TEST(SetupPageModel, SecondPageDefaultButtonChangesOnlyItsColumnAndTheMirrors) {
    const std::map<int, int> column = {{160, 1}, {161, 0},  {162, 0}, {163, 1}, {288, 2},
                                       {289, 2}, {290, 2},  {291, 2}, {292, 0}, {425, 1},
                                       {426, 1}, {548, 1},  {674, 0}, {800, 1}, {801, 1},
                                       {802, 1}, {929, 11}, {169, 1}, {170, 0}, {294, 0}};
    SetupBuffer buffer = PatternBuffer(11);
    const SetupBuffer before = buffer;
    SecondPage()->ButtonDefaults(buffer, TachyIdentity());
    for (std::size_t offset = 0; offset < 1312; ++offset) {
        const auto it = column.find(static_cast<int>(offset));
        const int expected = it == column.end() ? before[offset] : it->second;
        EXPECT_EQ(buffer[offset], expected) << "byte " << offset;
    }
    EXPECT_TRUE(HasValidChecksum(Bytes(buffer)));
}

TEST(SetupPageModel, SecondPageShowsValuesOutOfRangeAsTheirLoadDefault) {
    const auto page = SecondPage();
    ASSERT_EQ(page->Settings().size(), kLogOnRanges.size());
    for (const Range& range : kLogOnRanges) {
        const SetupByteSetting* setting = page->Find(range.offset);
        ASSERT_NE(setting, nullptr) << range.offset;
        SetupBuffer buffer{};
        for (const int value : {0, range.maximum}) {
            buffer[static_cast<std::size_t>(range.offset)] = static_cast<std::uint8_t>(value);
            EXPECT_EQ(page->ShownValue(buffer, *setting), value) << range.offset;
        }
        for (const int value : {range.maximum + 1, 0x7F, 0x80, 0xFF}) {
            buffer[static_cast<std::size_t>(range.offset)] = static_cast<std::uint8_t>(value);
            EXPECT_EQ(page->ShownValue(buffer, *setting), range.loadDefault)
                << range.offset << " = " << value;
        }
    }
}

TEST(SetupPageModel, SecondPageEdgeValuesOfTheTimeZoneAndSignedBytes) {
    const auto page = SecondPage();
    SetupBuffer buffer{};
    buffer[162] = 0xFF;
    buffer[929] = 45;
    EXPECT_EQ(page->ShownValue(buffer, *page->Find(162)), 0);
    EXPECT_EQ(page->ShownValue(buffer, *page->Find(929)), 10);
    EXPECT_EQ(TimeZoneList()[10], "+9:00");
    // 39 would index past the list's last entry (38): out of range like any other bad value.
    buffer[929] = 39;
    EXPECT_EQ(page->ShownValue(buffer, *page->Find(929)), 10);
    buffer[929] = 38;
    EXPECT_EQ(page->ShownValue(buffer, *page->Find(929)), 38);
    EXPECT_EQ(TimeZoneList()[38], "-12:00");
}

TEST(SetupPageModel, LoadRangesCorrectTheWorkingCopyAndItsMirror) {
    const auto page = SecondPage();
    SetupBuffer buffer{};
    page->FactoryDefaults(buffer, TachyIdentity());
    buffer[160] = 9;
    buffer[169] = 9;
    buffer[929] = 39;
    buffer[288] = 3;
    EXPECT_EQ(page->ApplyLoadRanges(buffer), 2);
    EXPECT_EQ(buffer[160], 1);
    EXPECT_EQ(buffer[169], 1);
    EXPECT_EQ(buffer[929], 10);
    EXPECT_EQ(buffer[288], 3);
    EXPECT_EQ(page->ApplyLoadRanges(buffer), 0);

    // The first page shows its bytes as they stand.
    SetupBuffer first{};
    first[674] = 7;
    EXPECT_EQ(FirstPage()->ShownValue(first, *FirstPage()->Find(674)), 7);
    EXPECT_EQ(FirstPage()->ApplyLoadRanges(first), 0);
    EXPECT_EQ(first[674], 7);
}

TEST(SetupPageModel, FirstPageTableHasFourteenRowsInFiveGroups) {
    struct Row {
        int offset, choices, group;
    };
    const std::vector<Row> rows = {{674, 3, 1}, {161, 4, 1}, {162, 5, 1}, {801, 2, 2}, {800, 2, 2},
                                   {802, 3, 2}, {544, 3, 3}, {545, 4, 3}, {425, 2, 4}, {426, 2, 4},
                                   {288, 3, 5}, {289, 3, 5}, {290, 3, 5}, {291, 3, 5}};
    const auto settings = FirstPage()->Settings();
    ASSERT_EQ(settings.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(settings[i].offset, rows[i].offset) << "row " << i + 1;
        EXPECT_EQ(settings[i].choices, rows[i].choices) << "row " << i + 1;
        EXPECT_EQ(settings[i].group, rows[i].group) << "row " << i + 1;
        EXPECT_EQ(settings[i].control, SetupControl::Buttons);
    }
}

TEST(SetupPageModel, ClicksStoreTheIndexAndTheSecondPageMirrors) {
    const auto second = SecondPage();
    SetupBuffer buffer{};
    EXPECT_TRUE(second->SetChoice(buffer, 160, 2));
    EXPECT_TRUE(second->SetChoice(buffer, 161, 3));
    EXPECT_EQ(buffer[169], 2);
    EXPECT_EQ(buffer[170], 3);
    EXPECT_TRUE(second->SetChoice(buffer, 929, 38));
    EXPECT_EQ(buffer[929], 38);
    // Outside the choices or not on the page: nothing stored.
    EXPECT_FALSE(second->SetChoice(buffer, 929, 39));
    EXPECT_FALSE(second->SetChoice(buffer, 160, 3));
    EXPECT_FALSE(second->SetChoice(buffer, 160, -1));
    EXPECT_FALSE(second->SetChoice(buffer, 544, 0));
    EXPECT_EQ(buffer[929], 38);
    EXPECT_EQ(buffer[160], 2);
    EXPECT_EQ(buffer[169], 2);

    // The first page has no mirrors: byte 161 alone changes.
    SetupBuffer first{};
    EXPECT_TRUE(FirstPage()->SetChoice(first, 161, 3));
    EXPECT_TRUE(FirstPage()->SetChoice(first, 544, 2));
    EXPECT_EQ(first[161], 3);
    EXPECT_EQ(first[170], 0);
    EXPECT_EQ(first[544], 2);
    EXPECT_FALSE(FirstPage()->SetChoice(first, 162, 5));
}

TEST(SetupPageModel, CompareAsksForAFormatOnlyWhenByte160ChangesOnTheSecondPage) {
    const auto second = SecondPage();
    SetupBuffer loaded{};
    second->FactoryDefaults(loaded, TachyIdentity());
    SetupBuffer working = loaded;
    for (const Range& range : kLogOnRanges) {
        if (range.offset != 160) {
            second->SetChoice(working, range.offset, range.maximum);
        }
    }
    EXPECT_EQ(second->Compare(loaded, working), kCompareNothingSpecial);
    second->SetChoice(working, 160, 2);
    EXPECT_EQ(second->Compare(loaded, working), kCompareNeedsFormat);
    second->RestoreFormatSetting(loaded, working, 1);
    EXPECT_EQ(working[160], loaded[160]);
    EXPECT_EQ(working[169], loaded[160]);
    EXPECT_EQ(working[161], 3); // the other changes stay
    EXPECT_EQ(second->Compare(loaded, working), kCompareNothingSpecial);

    const auto first = FirstPage();
    SetupBuffer firstLoaded{};
    first->NewFileDefaults(firstLoaded, TachyIdentity());
    SetupBuffer firstWorking = firstLoaded;
    first->SetChoice(firstWorking, 674, 2);
    first->SetChoice(firstWorking, 161, 3);
    EXPECT_EQ(first->Compare(firstLoaded, firstWorking), kCompareNothingSpecial);
    first->RestoreFormatSetting(firstLoaded, firstWorking, 0);
    EXPECT_EQ(firstWorking[674], firstLoaded[674]);
    EXPECT_EQ(firstWorking[161], 3);
}

TEST(SetupPageModel, TimeZoneListHas39EntriesFromPlus14ToMinus12) {
    const auto& list = TimeZoneList();
    ASSERT_EQ(list.size(), 39U);
    EXPECT_EQ(list[0], "+14:00");
    EXPECT_EQ(list[10], "+9:00");
    EXPECT_EQ(list[11], "+8:00");
    EXPECT_EQ(list[24], "0:00");
    EXPECT_EQ(list[38], "-12:00");
    EXPECT_EQ(SecondPage()->Find(929)->choices, 39);
    EXPECT_EQ(SecondPage()->Find(929)->control, SetupControl::TimeZoneList);
}

TEST(SetupPageModel, ExtraControlsOnlyForTheRk150ztModel) {
    SetupBuffer buffer{};
    WriteTextField(buffer, SetupTextField::ModelName, "RK150ZT", 1252);
    EXPECT_TRUE(CSetupLogOnModel::ShowsExtraControls(buffer, 1252));
    WriteTextField(buffer, SetupTextField::ModelName, "RK150Z", 1252);
    EXPECT_FALSE(CSetupLogOnModel::ShowsExtraControls(buffer, 1252));
    WriteTextField(buffer, SetupTextField::ModelName, "rk150zt", 1252);
    EXPECT_FALSE(CSetupLogOnModel::ShowsExtraControls(buffer, 1252));
}
