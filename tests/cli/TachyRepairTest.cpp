// tachy repair on a card a power cut left behind: the dry run changes no byte and no name;
// the repair does what the engine's recovery does and the card lists the recording again.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <fstream>
#include <gtest/gtest.h>

using tachy::test::RunTachy;
using tachy::test::Snapshot;
using tachy::test::TempFolder;

namespace {

class TachyRepair : public testing::Test {
protected:
    void SetUp() override {
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = m_card;
        options.width = 64;
        options.height = 48;
        options.seconds = 4;
        options.periodSeconds = 2;
        options.damage = {"cut", "system_run"};
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        // The recorder's name for a file it was still writing: prefix and file number only.
        std::filesystem::rename(m_card / "normal" / "TCY_0002_20240229_130511_N_1.avi", m_cut);
    }

    TempFolder m_folder;
    std::filesystem::path m_card = m_folder.path() / "card";
    std::filesystem::path m_cut = m_card / "normal" / "TCY_0002_.avi";
    std::filesystem::path m_logs = m_folder.path() / "logs";
};

} // namespace

TEST_F(TachyRepair, DryRunListsTheWorkAndLeavesEveryByteAndName) {
    const auto before = Snapshot(m_card);
    const auto run = RunTachy({"repair", m_card.string(), "--dry-run", "--log", m_logs.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("would repair " + m_cut.string() + " (no index, "), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("would remove " + (m_card / "normal" / "system_run").string() + "\n"),
              std::string::npos);
    EXPECT_EQ(Snapshot(m_card), before);
    EXPECT_FALSE(std::filesystem::exists(m_logs));
}

TEST_F(TachyRepair, RepairRenamesTheRecordingRemovesTheMarkerAndTheCardListsIt) {
    const auto listedBefore = RunTachy({"list", m_card.string()});
    EXPECT_EQ(listedBefore.out.find("13:05:11"), std::string::npos);
    const auto run = RunTachy({"repair", m_card.string(), "--log", m_logs.string()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("repaired 1 of 1 unfinished recording(s)"), std::string::npos)
        << run.out;
    EXPECT_FALSE(std::filesystem::exists(m_cut));
    EXPECT_FALSE(std::filesystem::exists(m_card / "normal" / "system_run"));
    EXPECT_TRUE(std::filesystem::exists(m_card / "normal" / "TCY_0002_20240229_130511_N_1.avi"));
    ASSERT_TRUE(std::filesystem::is_directory(m_logs));
    const std::string log =
        tachy::test::readAll(std::filesystem::directory_iterator(m_logs)->path());
    EXPECT_NE(log.find("Renamed "), std::string::npos) << log;
    const auto listed = RunTachy({"list", m_card.string()});
    EXPECT_NE(listed.out.find("  2024-02-29 13:05:11 "), std::string::npos) << listed.out;
    // Nothing is left to do.
    EXPECT_EQ(RunTachy({"repair", m_card.string(), "--dry-run"}).out, "nothing to repair\n");
}

TEST_F(TachyRepair, AFileThatCannotBeRepairedFailsTheRunAndStaysAsItWas) {
    const auto noise = m_card / "normal" / "clip.avi";
    std::ofstream(noise) << std::string(500, 'z');
    const auto run = RunTachy({"repair", m_card.string(), "--log", m_logs.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("repaired 1 of 2 unfinished recording(s)"), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("1 file(s) could not be repaired"), std::string::npos) << run.err;
    EXPECT_EQ(tachy::test::readAll(noise), std::string(500, 'z'));
}

TEST(TachyList, NamesTheFilesItCannotRead) {
    const TempFolder folder;
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = folder.path() / "card";
    options.width = 64;
    options.height = 48;
    options.seconds = 4;
    options.periodSeconds = 2;
    options.damage = {"tiny"};
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    const auto run = RunTachy({"list", options.out.string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "tachy list: cannot read " +
                           (options.out / "normal" / "TCY_0003_20240229_130611_N_1.avi").string() +
                           "\n");
    EXPECT_NE(run.out.find("TCY_0002_20240229_130511_N_1.avi\n"), std::string::npos) << run.out;
}
