// Writing the settings file: temporary beside it, flushed, read back, compared, renamed; a
// write that fails at any step leaves the old file as it was. Files are judged with cmp and
// Python.

#include "setupfile/SetupFileStore.h"
#include "setupfile/CSetupOption.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupChecksum.h"
#include "tests/setupfile/SetupFileFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tachy::setupfile;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796142552; // 2026-12-01 16:29:12 UTC

std::vector<std::string> FolderNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

SetupBuffer FactoryFile(unsigned productId = 5) {
    SetupBuffer buffer{};
    ISetupPageModel::Create(static_cast<int>(productId))
        ->NewFileDefaults(buffer, tachy::test::TachyIdentity());
    return buffer;
}

// A card with a valid settings file and a byte-identical reference copy outside it.
struct Card {
    tachy::test::TempFolder root;
    fs::path settings = root.path() / "card" / "SETUP" / "setting.dat";
    fs::path reference = root.path() / "reference.dat";
    SetupBuffer old = FactoryFile();

    Card() {
        tachy::test::WriteBytes(settings, tachy::test::ToString(old));
        tachy::test::WriteBytes(reference, tachy::test::ToString(old));
    }
    SetupBuffer Changed() const {
        SetupBuffer changed = old;
        ISetupPageModel::Create(5)->SetChoice(changed, 160, 2);
        UpdateChecksum(changed);
        return changed;
    }
};

// Fails one call of the write path; the others are the real ones.
class FailingCalls : public SetupFileSystemCalls {
public:
    enum class Step { HalfWrite, Sync, ReadBack, Rename };
    explicit FailingCalls(Step step) : m_step(step) {}

    ssize_t Write(int fd, const void* data, std::size_t size) override {
        if (m_step != Step::HalfWrite) {
            return SetupFileSystemCalls::Write(fd, data, size);
        }
        if (m_wrote) {
            errno = EIO;
            return -1;
        }
        m_wrote = true;
        return SetupFileSystemCalls::Write(fd, data, size / 2);
    }
    int Sync(int fd) override {
        if (m_step == Step::Sync) {
            errno = EIO;
            return -1;
        }
        return SetupFileSystemCalls::Sync(fd);
    }
    ssize_t Read(int fd, void* data, std::size_t size) override {
        const ssize_t got = SetupFileSystemCalls::Read(fd, data, size);
        if (m_step == Step::ReadBack && got > 700) {
            static_cast<std::uint8_t*>(data)[700] ^= 0x04; // a bit the card lost
        }
        return got;
    }
    int Rename(const char* from, const char* to) override {
        if (m_step == Step::Rename) {
            errno = EIO;
            return -1;
        }
        return SetupFileSystemCalls::Rename(from, to);
    }

private:
    Step m_step;
    bool m_wrote = false;
};

} // namespace

TEST(SetupFileStore, WriteReplacesTheFileAndLeavesNoTemporary) {
    Card card;
    const SetupBuffer changed = card.Changed();
    EXPECT_EQ(SetupFileStore().Write(card.settings, changed), SetupWriteResult::Written);
    const fs::path expected = card.root.path() / "expected.dat";
    tachy::test::WriteBytes(expected, tachy::test::ToString(changed));
    EXPECT_TRUE(tachy::test::CmpIdentical(card.settings, expected));
    EXPECT_EQ(tachy::test::PythonSizeAndSum(card.settings), "1313 0");
    EXPECT_EQ(tachy::test::PythonBytes(card.settings, "160,169"), "160=2 169=2");
    EXPECT_EQ(FolderNames(card.settings.parent_path()), std::vector<std::string>{"setting.dat"});
}

TEST(SetupFileStore, CreatesAMissingSettingsFolder) {
    tachy::test::TempFolder root;
    const fs::path file = root.path() / "card" / "SETUP" / "setting.dat";
    EXPECT_EQ(SetupFileStore().Write(file, FactoryFile()), SetupWriteResult::Written);
    EXPECT_EQ(tachy::test::PythonSizeAndSum(file), "1313 0");
    // A folder that cannot be made (a file stands in its place) is reported, nothing written.
    tachy::test::WriteBytes(root.path() / "card2" / "SETUP", "x");
    EXPECT_EQ(
        SetupFileStore().Write(root.path() / "card2" / "SETUP" / "setting.dat", FactoryFile()),
        SetupWriteResult::NoFolder);
}

TEST(SetupFileStore, AWriteCutOffByTheFileSizeLimitLeavesTheOldFile) {
    Card card;
    const SetupBuffer changed = card.Changed();
    // In a child process: the file-size limit stops the temporary after 100 bytes, as a full
    // card would; the write fails midway with EFBIG.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const SetupWriteResult result = SetupFileStore().Write(card.settings, changed);
        ::_exit(static_cast<int>(result));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(SetupWriteResult::WriteFailed));
    EXPECT_TRUE(tachy::test::CmpIdentical(card.settings, card.reference));
    EXPECT_EQ(FolderNames(card.settings.parent_path()), std::vector<std::string>{"setting.dat"});
}

TEST(SetupFileStore, AFailureAtAnyStepLeavesTheOldFileAndNoTemporary) {
    const std::vector<std::pair<FailingCalls::Step, SetupWriteResult>> cases = {
        {FailingCalls::Step::HalfWrite, SetupWriteResult::WriteFailed},
        {FailingCalls::Step::Sync, SetupWriteResult::FlushFailed},
        {FailingCalls::Step::ReadBack, SetupWriteResult::ReadBackDiffers},
        {FailingCalls::Step::Rename, SetupWriteResult::RenameFailed},
    };
    for (const auto& [step, expected] : cases) {
        Card card;
        FailingCalls calls(step);
        EXPECT_EQ(SetupFileStore(calls).Write(card.settings, card.Changed()), expected);
        EXPECT_TRUE(tachy::test::CmpIdentical(card.settings, card.reference));
        EXPECT_EQ(FolderNames(card.settings.parent_path()),
                  std::vector<std::string>{"setting.dat"});
    }
}

TEST(SetupFileStore, ReadTellsAMissingFileFromAWrongSize) {
    tachy::test::TempFolder root;
    EXPECT_FALSE(SetupFileStore::Read(root.path() / "none.dat"));
    EXPECT_FALSE(SetupFileStore::Read(root.path()));
    const auto page = ISetupPageModel::Create(5);
    const auto identity = tachy::test::TachyIdentity();
    const std::string good = tachy::test::ToString(FactoryFile());
    for (const std::size_t size : {0UL, 1312UL, 1314UL, 100000UL}) {
        std::string bytes = good;
        bytes.resize(size, '\0');
        const fs::path file = root.write("size" + std::to_string(size), bytes);
        const auto read = SetupFileStore::Read(file);
        ASSERT_TRUE(read);
        EXPECT_LE(read->size(), 1314U);
        EXPECT_EQ(page->Validate(*read, identity), SetupFileStatus::WrongSize) << size;
    }
    const auto read = SetupFileStore::Read(root.write("good", good));
    ASSERT_TRUE(read);
    EXPECT_EQ(page->Validate(*read, identity), SetupFileStatus::Valid);
}

TEST(SetupFileStore, RepairKeepsTheInvalidFileAsFoundInTheWorkFolder) {
    Card card;
    const std::string found = "not a settings file";
    tachy::test::WriteBytes(card.settings, found);
    tachy::test::WriteBytes(card.reference, found);
    const fs::path work = card.root.path() / "work";
    const SetupRepairResult first =
        SetupFileStore().Repair(card.settings, work, FactoryFile(), kNow);
    ASSERT_TRUE(first.keptCopy);
    EXPECT_EQ(first.keptCopy->filename(), "setting_20261201_162912.dat");
    EXPECT_TRUE(tachy::test::CmpIdentical(*first.keptCopy, card.reference));
    ASSERT_TRUE(first.written);
    EXPECT_EQ(*first.written, SetupWriteResult::Written);
    EXPECT_EQ(tachy::test::PythonSizeAndSum(card.settings), "1313 0");

    // A second repair in the same second keeps its own copy beside the first.
    const SetupRepairResult second =
        SetupFileStore().Repair(card.settings, work, FactoryFile(), kNow);
    ASSERT_TRUE(second.keptCopy);
    EXPECT_EQ(second.keptCopy->filename(), "setting_20261201_162912_2.dat");
    EXPECT_TRUE(tachy::test::CmpIdentical(*first.keptCopy, card.reference));
    EXPECT_TRUE(tachy::test::CmpIdentical(*second.keptCopy, card.settings));
}

TEST(SetupFileStore, RepairWritesNothingWhenNoCopyCanBeKept) {
    Card card;
    tachy::test::WriteBytes(card.settings, "broken");
    tachy::test::WriteBytes(card.reference, "broken");
    const fs::path work = card.root.write("work", "a file where the folder should be");
    const SetupRepairResult result =
        SetupFileStore().Repair(card.settings, work, FactoryFile(), kNow);
    EXPECT_FALSE(result.keptCopy);
    EXPECT_FALSE(result.written);
    EXPECT_TRUE(tachy::test::CmpIdentical(card.settings, card.reference));
}

TEST(SetupFileStore, LoadChangeSaveReloadRoundTripOfEverySecondPageSetting) {
    Card card;
    const auto page = ISetupPageModel::Create(7);
    const auto identity = tachy::test::TachyIdentity();
    const auto read = SetupFileStore::Read(card.settings);
    ASSERT_TRUE(read);
    ASSERT_EQ(page->Validate(*read, identity), SetupFileStatus::Valid);
    SetupBuffer working{};
    std::copy(read->begin(), read->end(), working.begin());
    page->ApplyLoadRanges(working);
    std::string offsets;
    std::string expected;
    for (const SetupByteSetting& setting : page->Settings()) {
        const int value = (setting.factoryDefault + 1) % setting.choices;
        ASSERT_TRUE(page->SetChoice(working, setting.offset, value));
        offsets += (offsets.empty() ? "" : ",") + std::to_string(setting.offset);
        expected += (expected.empty() ? "" : " ") + std::to_string(setting.offset) + "=" +
                    std::to_string(value);
    }
    page->UpdateChecksum(working);
    ASSERT_EQ(SetupFileStore().Write(card.settings, working), SetupWriteResult::Written);
    EXPECT_EQ(tachy::test::PythonBytes(card.settings, offsets), expected);
    EXPECT_EQ(tachy::test::PythonBytes(card.settings, "169,170"), "169=2 170=3");
    EXPECT_EQ(tachy::test::PythonSizeAndSum(card.settings), "1313 0");
    const auto reread = SetupFileStore::Read(card.settings);
    ASSERT_TRUE(reread);
    EXPECT_EQ(page->Validate(*reread, identity), SetupFileStatus::Valid);
}

TEST(SetupOption, ReadsTheSettingsKeysOfTheSelectedProduct) {
    CSetupOption option;
    ASSERT_TRUE(option.Load(fs::path(TACHY_DATA_DIR) / "_option"));
    EXPECT_EQ(option.productId, 5);
    EXPECT_EQ(option.setupModelName, "TACHY-500");
    EXPECT_EQ(option.setupCompanyName, "TACHY");
    EXPECT_EQ(option.setupStructureVer, "2.0");
    EXPECT_EQ(option.formatCluster, 32);
    EXPECT_EQ(option.SettingsFilePath("/media/card"), fs::path("/media/card/SETUP/setting.dat"));
    option.setupDir = "";
    EXPECT_EQ(option.SettingsFilePath("/media/card"), fs::path("/media/card/setting.dat"));
    option.setupDir = "\\SETUP\\";
    EXPECT_EQ(option.SettingsFilePath("/media/card"), fs::path("/media/card/SETUP/setting.dat"));
    EXPECT_EQ(option.Identity(949).codePage, 949);
    EXPECT_EQ(option.Identity(949).modelName, "TACHY-500");

    tachy::test::TempFolder folder;
    folder.write("option.ini", "[Setting]\r\nSelect=0\r\n[AppInfo_0]\r\nProduct ID=-1\r\n"
                               "SetupFileName=x.dat\r\n");
    CSetupOption negative;
    EXPECT_FALSE(negative.Load(folder.path()));
    EXPECT_TRUE(negative.setupFileName.empty());
    EXPECT_FALSE(CSetupOption().Load(folder.path() / "missing"));
}
