#include "util/naming/AviNameFormat.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using naming::StreamFileName;

namespace {

_AVI_NAME_FORMAT2 rule(const char* letter) {
    return naming::ReadNameFormat(std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_" + letter + ".ini", 2);
}

constexpr std::int64_t kLeapDay = 1709211909;  // 2024-02-29 13:05:09 UTC

} // namespace

TEST(AviNameFormat, RecordIsByteExact) {
    EXPECT_EQ(offsetof(_AVI_NAME_ITEM, tzString), 20U);
    EXPECT_EQ(offsetof(_AVI_NAME_ITEM, nInfo), 148U);
    EXPECT_EQ(offsetof(_AVI_NAME_FORMAT2, nSearchDepth), 13U * 152U);
}

TEST(AviNameFormat, RuleAPrefixModeTableAndChannelBase) {
    const auto format = rule("A");
    EXPECT_EQ(format.nSearchDepth, 2);
    StreamFileName name;
    ASSERT_TRUE(naming::ParseName(format, "TCY_0012_20240229_130509_E_2.avi", name));
    EXPECT_EQ(name.channel, 1);  // channel numbers start at 1 in these names
    EXPECT_EQ(name.fileNumber, 12);
    EXPECT_EQ(name.timeMs, kLeapDay * 1000);
    EXPECT_EQ(name.recordMode, 1);
    EXPECT_EQ(naming::BuildName(format, "/card/event", 1, 12, kLeapDay, 0, 60000, 'E'),
              "/card/event/TCY_0012_20240229_130509_E_2.avi");
    EXPECT_FALSE(naming::ParseName(format, "XYZ_0012_20240229_130509_E_2.avi", name));
    EXPECT_FALSE(naming::ParseName(format, "TCY_0012_2024022", name));
    EXPECT_FALSE(naming::ParseName(format, "system_run", name));
    // A mode code outside the table parses, with no mode.
    ASSERT_TRUE(naming::ParseName(format, "TCY_0012_20240229_130509_X_1.avi", name));
    EXPECT_EQ(name.recordMode, -1);
}

TEST(AviNameFormat, RuleBNumbersOfAnyLengthMillisecondAndLength) {
    const auto format = rule("B");
    StreamFileName name;
    ASSERT_TRUE(naming::ParseName(format, "2_123456_20240229130509_250_59960_pa.avi", name));
    EXPECT_EQ(name.channel, 2);
    EXPECT_EQ(name.fileNumber, 123456);
    EXPECT_EQ(name.millisecond, 250);
    EXPECT_EQ(name.timeMs, kLeapDay * 1000 + 250);
    EXPECT_EQ(name.lengthMs, 59960);
    EXPECT_EQ(name.recordMode, 2);  // codes compare without regard to case
    EXPECT_EQ(naming::BuildName(format, "", 0, 7, kLeapDay, 5, 60000, 3),
              "0_7_20240229130509_005_60000_MA.avi");
}

TEST(AviNameFormat, RuleCWithoutChannelNumberAndCharacterChannelCount) {
    const auto format = rule("C");
    StreamFileName name;
    ASSERT_TRUE(naming::ParseName(format, "CARDV_20240229_130509_00012_N_D.avi", name));
    EXPECT_EQ(name.channel, 0);
    EXPECT_EQ(name.channelCount, 2);
    EXPECT_EQ(name.recordMode, 0);
    ASSERT_TRUE(naming::ParseName(format, "CARDV_20240229_130509_00012_M_s.avi", name));
    EXPECT_EQ(name.channelCount, 1);
    EXPECT_EQ(name.recordMode, 3);
    ASSERT_TRUE(naming::ParseName(format, "CARDV_20240229_130509_00012_M_x.avi", name));
    EXPECT_EQ(name.channelCount, 0);
    EXPECT_EQ(naming::BuildName(format, "", 0, 12, kLeapDay, 0, 0, 'P'),
              "CARDV_20240229_130509_00012_P_2.avi");
}

TEST(AviNameFormat, MissingSectionsTakeTheirDefaults) {
    const tachy::test::TempFolder folder;
    const auto path = folder.write("FileNameRule_X.ini", "[AviNameFormat_Year]\nnLength=4\n");
    const auto format = naming::ReadNameFormat(path, 0);
    for (int k = 0; k < naming::kComponentCount; ++k) {
        EXPECT_EQ(format.items[k].nOrder, k);
        EXPECT_EQ(format.items[k].bUse, 1);
        EXPECT_EQ(format.items[k].nInfo, 1);
        EXPECT_EQ(naming::ItemText(format.items[k]), "");
    }
    EXPECT_EQ(format.items[naming::kYear].nLength, 4);
    EXPECT_EQ(format.items[naming::kMonth].nLength, 1);
    const auto absent = naming::ReadNameFormat(folder.path() / "absent.ini", 1);
    EXPECT_EQ(absent.items[naming::kSecond].nOrder, naming::kSecond);
}

// A name's time before 1970 with milliseconds is composed with its own second, so that the
// composed name reads back as the same time (found by the name-format fuzz target).
TEST(AviNameFormat, ComposedNameReadsBackTheSameTimeBefore1970) {
    const auto format = rule("B");
    StreamFileName name;
    ASSERT_TRUE(naming::ParseName(format, "1_7_19691231235958_999_60000_NO.avi", name));
    EXPECT_EQ(name.timeMs, -2 * 1000 + 999);
    EXPECT_EQ(naming::ComposeName(format, name, ".avi"), "1_7_19691231235958_999_60000_NO.avi");
    StreamFileName epoch;
    ASSERT_TRUE(naming::ParseName(format, "0_1_19700101000000_500_1_EV.avi", epoch));
    EXPECT_EQ(naming::ComposeName(format, epoch, ".avi"), "0_1_19700101000000_500_1_EV.avi");
}

// Found by the name-format fuzz target: a negative millisecond named another second once the
// name was composed again from its time, and a year of many digits overflowed the time in
// milliseconds. Neither is read as a time now, so the name is no recording of the rule.
TEST(AviNameFormat, AMillisecondOrYearNoClockGivesIsNotRead) {
    const auto format = rule("B");
    StreamFileName name;
    EXPECT_FALSE(naming::ParseName(format, "0_12_20240229130509_-50_60000_EV.avi", name));
    EXPECT_FALSE(naming::ParseName(format, "0_12_20240229130509_+1000_60000_EV.avi", name));
    ASSERT_TRUE(naming::ParseName(format, "0_12_99991231235959_999_60000_EV.avi", name));
    EXPECT_EQ(naming::ComposeName(format, name, ".avi"), "0_12_99991231235959_999_60000_EV.avi");

    // A rule whose year takes any number of digits reads the whole date and time as the year.
    _AVI_NAME_FORMAT2 anyYear = format;
    anyYear.items[naming::kYear].nLength = 0;
    EXPECT_FALSE(naming::ParseName(anyYear, "0_12_20240229130509_250_60000_EV.avi", name));
    int wanted = 0;
    const int read = naming::ParseNameFields(anyYear, "0_12_20240229130509_250_60000_EV.avi",
                                             name, wanted);
    EXPECT_EQ(read, 2); // the channel and the file number
}

TEST(AviNameFormat, TextKeepsAtMost63Characters) {
    _AVI_NAME_ITEM item{};
    naming::SetItemText(item, std::string(100, 'x'));
    EXPECT_EQ(naming::ItemText(item), std::string(63, 'x'));
    naming::SetItemText(item, "NEPM");
    EXPECT_EQ(naming::ItemText(item), "NEPM");
}
