#include "engine/CArchiveAvi.h"
#include "engine/CRecoverAvi.h"
#include "engine/CStreamCatalogue.h"
#include "engine/RepairAviReader.h"

#include "platform/debug/DebugOut.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/avi/CAviParser2.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

using tachy::test::readAll;
using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL;

void collect(unsigned code, std::intptr_t, void* data, void* user) {
    if (code == replay::kTimeListEntry) {
        static_cast<std::vector<CTimeList>*>(user)->push_back(*static_cast<CTimeList*>(data));
    }
}

class Recovery : public testing::Test {
protected:
    void SetUp() override {
        m_format = naming::ReadNameFormat(std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini", 2);
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
        m_reader.SetNameFormat(m_format);
        m_catalogue.SetNameFormat(m_format);
        m_catalogue.SetDbPath(m_card.string());
        m_catalogue.SetLogPath(m_logs.path().string());
        m_catalogue.SetCallback(&collect, &m_entries);
    }

    TempFolder m_folder;
    TempFolder m_logs;
    std::filesystem::path m_card = m_folder.path() / "card";
    std::filesystem::path m_cut = m_card / "normal" / "TCY_0002_.avi";
    _AVI_NAME_FORMAT2 m_format{};
    CArchiveAvi m_reader;
    CStreamCatalogue m_catalogue{m_reader};
    std::vector<CTimeList> m_entries;
};

} // namespace

TEST_F(Recovery, WithoutRecoveryTheUnfinishedFileIsNeitherRepairedNorListed) {
    const std::string before = readAll(m_cut);
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    EXPECT_EQ(m_entries.size(), 1U);
    EXPECT_EQ(readAll(m_cut), before);
    EXPECT_TRUE(std::filesystem::exists(m_card / "normal" / "system_run"));
}

TEST_F(Recovery, UnfinishedFileIsRepairedRenamedAndListed) {
    m_catalogue.EnableRecovery(1);
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    EXPECT_FALSE(std::filesystem::exists(m_cut));
    EXPECT_FALSE(std::filesystem::exists(m_card / "normal" / "system_run"));
    ASSERT_EQ(m_entries.size(), 2U);
    const CTimeList& repaired = m_entries[1];
    const std::string path = repaired.CurrentPath(0);
    EXPECT_EQ(std::filesystem::path(path).filename(), "TCY_0002_20240229_130511_N_1.avi");
    EXPECT_EQ(repaired.m_llStartTime[0], kStartMs + 2000);
    // Two thirds of the file survived the cut: about 40 of its 60 frames.
    const std::int64_t length = repaired.m_llEndTime[0] - repaired.m_llStartTime[0];
    EXPECT_GT(length, 900);
    EXPECT_LT(length, 2000);

    // Tools we did not write read it with the frames it holds, and decode them.
    CAviParser2 parser;
    _TAG_STREAM_INFO info{};
    ASSERT_EQ(parser.GetStreamInfo(path, &info, 0), 1);
    const std::string probe = tachy::test::runCommand("ffprobe -v error -count_packets -select_streams v:0 -show_entries "
                                      "stream=nb_read_packets -of csv=p=0 '" + path + "'");
    EXPECT_EQ(probe, std::to_string(info.dwVideoLength) + "\n");
    EXPECT_EQ(tachy::test::runCommand("ffmpeg -v error -i '" + path + "' -f null - 2>&1"), "");
    EXPECT_NE(readAll(std::filesystem::directory_iterator(m_logs.path())->path()).find("Renamed "),
              std::string::npos);
}

TEST_F(Recovery, IndexStopsAtARecordWithoutItsMarker) {
    // Break the marker of the sixth driving-data record of the unfinished file.
    std::string bytes = readAll(m_cut);
    std::size_t at = 0;
    for (int record = 0; record < 6; ++record) {
        at = bytes.find("02tx", at + 1);
        ASSERT_NE(at, std::string::npos);
    }
    bytes[at + 8] = 0x7F;
    std::ofstream(m_cut, std::ios::binary | std::ios::trunc) << bytes;
    std::vector<std::string> lines;
    const auto previous = tachy::DebugOut::setSink([&](std::string_view line) { lines.emplace_back(line); });
    CRecoverAvi recover(m_format, m_logs.path().string());
    EXPECT_EQ(recover.RepairFolder(m_card / "normal"), 1);
    tachy::DebugOut::setSink(previous);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "PREMBLE ERROR:0x17f, 0x1ff\n");
    const auto repaired = m_card / "normal" / "TCY_0002_20240229_130511_N_1.avi";
    CAviParser2 parser;
    ASSERT_EQ(parser.OpenStream(repaired.string(), 0), 1);
    EXPECT_EQ(parser.GetVideoLength(), 5);  // the frames before the broken record
}

TEST_F(Recovery, FilesThatCannotBeRepairedAreLeftAsTheyAre) {
    const auto noise = m_card / "normal" / "clip.avi";
    std::ofstream(noise) << std::string(500, 'z');
    const auto almost = m_card / "normal" / "TCY_0001_20240229_130509_N.avi";  // one field short
    std::filesystem::copy_file(m_cut, almost);
    const std::string before = readAll(almost);
    std::vector<std::string> lines;
    const auto previous = tachy::DebugOut::setSink([&](std::string_view line) { lines.emplace_back(line); });
    CRecoverAvi recover(m_format, m_logs.path().string());
    EXPECT_EQ(recover.RepairFolder(m_card / "normal"), 1);  // only the unfinished one
    tachy::DebugOut::setSink(previous);
    EXPECT_EQ(readAll(noise), std::string(500, 'z'));
    EXPECT_EQ(readAll(almost), before);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "AVI RECIVERY FAIL :: avilib - Not an AVI file\n"), lines.end());
}

TEST(RepairAviReader, MessagesByCode) {
    EXPECT_STREQ(RepairAviReader::Message(0), "avilib - No Error");
    EXPECT_STREQ(RepairAviReader::Message(11), "avilib - AVI file has no MOVI list (corrupted?)");
    EXPECT_STREQ(RepairAviReader::Message(14), "avilib - Unkown Error");
    RepairAviReader reader;
    EXPECT_EQ(reader.Open("/nonexistent/x.avi"), RepairAviReader::kOpen);
}
