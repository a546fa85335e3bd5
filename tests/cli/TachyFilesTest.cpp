// The settings file, the clock file and the card-image formatter through the tool, judged by
// the settings-file model's own bytes and by fsck.fat and mtools.

#include "setupfile/CSetupLogOnModel.h"
#include "setupfile/CSetupOption.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/TimeSetFile.h"
#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>

using namespace tachy::setupfile;
using tachy::test::readAll;
using tachy::test::RunShell;
using tachy::test::RunTachy;
using tachy::test::TempFolder;

namespace {

class TachySettings : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_option.Load(std::string(TACHY_DATA_DIR) + "/_option"));
        m_page = ISetupPageModel::Create(m_option.productId);
        ASSERT_NE(m_page, nullptr);
        m_page->NewFileDefaults(m_bytes, m_option.Identity(1252));
        m_file = m_option.SettingsFilePath(m_card);
        std::filesystem::create_directories(m_file.parent_path());
        Store(m_bytes);
    }

    void Store(const SetupBuffer& bytes) const {
        std::ofstream(m_file, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::string Bytes(const SetupBuffer& bytes) const {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }

    // A setting of the page with more than one choice that needs no card format.
    const SetupByteSetting& Ordinary() const {
        for (const SetupByteSetting& setting : m_page->Settings()) {
            if (setting.choices > 1 && setting.offset != CSetupLogOnModel::kFormatSettingOffset) {
                return setting;
            }
        }
        return m_page->Settings().front();
    }

    TempFolder m_folder;
    std::filesystem::path m_card = m_folder.path() / "card";
    CSetupOption m_option;
    std::unique_ptr<ISetupPageModel> m_page;
    SetupBuffer m_bytes{};
    std::filesystem::path m_file;
};

} // namespace

TEST_F(TachySettings, CheckTellsAValidFileFromADamagedOne) {
    const auto valid = RunTachy({"settings", "check", m_file.string()});
    EXPECT_EQ(valid.exitCode, 0) << valid.err;
    EXPECT_EQ(valid.out, m_file.string() + ": valid\n");
    // The card itself names the same file.
    EXPECT_EQ(RunTachy({"settings", "check", m_card.string()}).out, m_file.string() + ": valid\n");

    SetupBuffer damaged = m_bytes;
    damaged[kChecksumOffset] ^= 0x5A;
    Store(damaged);
    const auto wrongSum = RunTachy({"settings", "check", m_file.string()});
    EXPECT_EQ(wrongSum.exitCode, 1);
    EXPECT_EQ(wrongSum.out, m_file.string() + ": wrong checksum\n");

    std::ofstream(m_file, std::ios::binary | std::ios::app) << 'x';
    EXPECT_EQ(RunTachy({"settings", "check", m_file.string()}).out,
              m_file.string() + ": wrong size\n");
}

TEST_F(TachySettings, ShowListsEverySettingOfThePage) {
    const auto run = RunTachy({"settings", "show", m_file.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("status: valid\n"), std::string::npos);
    EXPECT_NE(run.out.find("maker: " + m_option.setupCompanyName + "\n"), std::string::npos)
        << run.out;
    std::size_t rows = 0;
    for (const SetupByteSetting& setting : m_page->Settings()) {
        const std::regex row("\\n +" + std::to_string(setting.offset) + ": +" +
                             std::to_string(m_bytes[static_cast<std::size_t>(setting.offset)]) +
                             "  \\[0-" + std::to_string(setting.choices - 1) + "\\] ");
        rows += std::regex_search(run.out, row) ? 1 : 0;
    }
    EXPECT_EQ(rows, m_page->Settings().size()) << run.out;
}

TEST_F(TachySettings, SetWritesWhatTheModelWrites) {
    const SetupByteSetting& setting = Ordinary();
    const int value = (m_bytes[static_cast<std::size_t>(setting.offset)] + 1) % setting.choices;
    SetupBuffer expected = m_bytes;
    ASSERT_TRUE(m_page->SetChoice(expected, setting.offset, value));
    m_page->UpdateChecksum(expected);
    const auto run = RunTachy({"settings", "set", m_file.string(),
                               std::to_string(setting.offset) + "=" + std::to_string(value)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readAll(m_file), Bytes(expected));
    EXPECT_EQ(RunTachy({"settings", "check", m_file.string()}).exitCode, 0);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_file.parent_path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(TachySettings, SetRefusesWhatTheModelRefusesAndChangesNothing) {
    const SetupByteSetting& setting = Ordinary();
    const std::string before = readAll(m_file);
    const auto outOfRange =
        RunTachy({"settings", "set", m_file.string(),
                  std::to_string(setting.offset) + "=" + std::to_string(setting.choices)});
    EXPECT_EQ(outOfRange.exitCode, 1);
    const auto notOnPage = RunTachy({"settings", "set", m_file.string(), "1=1"});
    EXPECT_EQ(notOnPage.exitCode, 1);
    const auto malformed = RunTachy({"settings", "set", m_file.string(), "ten=1"});
    EXPECT_EQ(malformed.exitCode, 2);
    EXPECT_EQ(readAll(m_file), before);

    SetupBuffer damaged = m_bytes;
    damaged[kChecksumOffset] ^= 1;
    Store(damaged);
    EXPECT_EQ(RunTachy({"settings", "set", m_file.string(), std::to_string(setting.offset) + "=0"})
                  .exitCode,
              1);
    EXPECT_EQ(readAll(m_file), Bytes(damaged));
}

TEST_F(TachySettings, AChangeThatNeedsAFormatIsWrittenOnlyWhenForced) {
    ASSERT_EQ(m_page->Kind(), SetupPageKind::LogOn);
    const SetupByteSetting* setting = m_page->Find(CSetupLogOnModel::kFormatSettingOffset);
    ASSERT_NE(setting, nullptr);
    const int value = (m_bytes[CSetupLogOnModel::kFormatSettingOffset] + 1) % setting->choices;
    const std::string assignment = std::to_string(setting->offset) + "=" + std::to_string(value);
    const auto refused = RunTachy({"settings", "set", m_file.string(), assignment});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("freshly formatted card"), std::string::npos) << refused.err;
    EXPECT_EQ(readAll(m_file), Bytes(m_bytes));

    SetupBuffer expected = m_bytes;
    ASSERT_TRUE(m_page->SetChoice(expected, setting->offset, value));
    EXPECT_EQ(expected[CSetupLogOnModel::kFormatSettingMirror], value);
    m_page->UpdateChecksum(expected);
    EXPECT_EQ(RunTachy({"settings", "set", m_file.string(), assignment, "--force"}).exitCode, 0);
    EXPECT_EQ(readAll(m_file), Bytes(expected));
}

TEST(TachyTimeset, WritesTheClockFileTheModelWrites) {
    const TempFolder folder;
    CSetupOption option;
    ASSERT_TRUE(option.Load(std::string(TACHY_DATA_DIR) + "/_option"));
    const auto file = option.SettingsFolder(folder.path()) / TimeSetFile::kTimeSetName;
    const auto run = RunTachy({"timeset", folder.path().string(), "2025-03-01 08:09:10"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readAll(file), TimeSetFile::Text(*TimeSetFile::Compose(2025, 3, 1, 8, 9, 10)));
    EXPECT_EQ(readAll(file), "2025-03-01 08:09:10");

    // Date and time as two words; a leap day.
    EXPECT_EQ(RunTachy({"timeset", folder.path().string(), "2028-02-29", "23:59:59"}).exitCode, 0);
    EXPECT_EQ(readAll(file), "2028-02-29 23:59:59");

    // Without a time: this computer's time now, in the same form.
    EXPECT_EQ(RunTachy({"timeset", folder.path().string()}).exitCode, 0);
    EXPECT_TRUE(
        std::regex_match(readAll(file), std::regex("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d")));

    // A day that does not exist writes nothing.
    std::filesystem::remove(file);
    EXPECT_EQ(RunTachy({"timeset", folder.path().string(), "2027-02-29 10:00:00"}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(TachyFormatImage, WritesAFileSystemFsckAndMtoolsAccept) {
    const TempFolder folder;
    const auto image = folder.path() / "card.img";
    std::ofstream(image).close();
    std::filesystem::resize_file(image, 300ULL << 20);
    const auto run =
        RunTachy({"format-image", image.string(), "--cluster", "8", "--label", "TACHYCARD"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto fsck = RunShell("fsck.fat -n -v '" + image.string() + "'");
    EXPECT_EQ(fsck.exitCode, 0) << fsck.out;
    EXPECT_NE(fsck.out.find("4096 bytes per cluster"), std::string::npos) << fsck.out;
    const auto label = RunShell("mlabel -s -i '" + image.string() + "' ::");
    EXPECT_EQ(label.exitCode, 0) << label.err;
    EXPECT_NE(label.out.find("TACHYCARD"), std::string::npos) << label.out;

    const auto small = folder.path() / "small.img";
    std::ofstream(small).close();
    std::filesystem::resize_file(small, 1 << 20);
    const auto refused = RunTachy({"format-image", small.string()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err, "");
}
