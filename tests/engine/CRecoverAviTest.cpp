#include "engine/CArchiveAvi.h"
#include "engine/CRecoverAvi.h"
#include "engine/CStreamCatalogue.h"
#include "engine/RepairAviReader.h"

#include "platform/debug/DebugOut.h"
#include "platform/fs/DirectoryListing.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/avi/CAviParser2.h"

#include <cstdio>
#include <cstring>
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

// Offset of the n-th (0-based) chunk with this id in the file's bytes.
std::size_t chunkAt(const std::string& bytes, const std::string& id, int n) {
    std::size_t at = bytes.find("movi");
    for (int k = 0; k <= n && at != std::string::npos; ++k) {
        at = bytes.find(id, at + 1);
    }
    return at;
}

std::string le32(std::uint32_t value) {
    std::string text(4, '\0');
    std::memcpy(text.data(), &value, 4);
    return text;
}

// Video packets libavformat reads from the file.
int videoPacketsLibavformatReads(const std::filesystem::path& path) {
    return std::atoi(tachy::test::runCommand("ffprobe -v error -count_packets -select_streams v:0 -show_entries "
                                             "stream=nb_read_packets -of csv=p=0 '" +
                                             path.string() + "' 2>/dev/null")
                         .c_str());
}

// The id and key flag of every video entry of the index the repair reader builds, without
// writing anything.
std::vector<std::uint32_t> videoFlags(const std::filesystem::path& path) {
    RepairAviReader reader;
    std::vector<std::uint32_t> flags;
    if (reader.Open(path) != RepairAviReader::kNoError) {
        return flags;
    }
    for (const auto& entry : reader.Index()) {
        if ((entry.ckid >> 16) == (('c' << 8) | 'd')) {
            flags.push_back(entry.dwFlags);
        }
    }
    return flags;
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

TEST_F(Recovery, UnknownChunkInTheMovieDataLeavesTheBytesAfterItAsTheyWere) {
    std::string bytes = readAll(m_cut);
    const std::size_t at = chunkAt(bytes, "00dc", 10);
    ASSERT_NE(at, std::string::npos);
    bytes.insert(at, "abcd" + le32(6) + "qwerty");
    std::ofstream(m_cut, std::ios::binary | std::ios::trunc) << bytes;
    const int packetsBefore = videoPacketsLibavformatReads(m_cut);
    CRecoverAvi recover(m_format, m_logs.path().string());
    ASSERT_EQ(recover.RepairFolder(m_card / "normal"), 1);
    const auto repaired = m_card / "normal" / "TCY_0002_20240229_130511_N_1.avi";
    const std::string after = readAll(repaired);
    ASSERT_GE(after.size(), bytes.size());
    // Every byte from the unknown chunk to the old end is still there, unchanged.
    EXPECT_EQ(after.compare(at, bytes.size() - at, bytes, at, bytes.size() - at), 0);
    CAviParser2 parser;
    ASSERT_EQ(parser.OpenStream(repaired.string(), 0), 1);
    EXPECT_EQ(parser.GetVideoLength(), 10);  // the frames before the unknown chunk
    // libavformat reads past the index: it still finds every frame it found before.
    EXPECT_GE(videoPacketsLibavformatReads(repaired), packetsBefore);
    EXPECT_GT(packetsBefore, 30);
    EXPECT_NE(readAll(std::filesystem::directory_iterator(m_logs.path())->path()).find("kept unindexed"),
              std::string::npos);
}

// A movie list whose size was damaged ends early, and what follows it looks like another
// recording's header list (stale data on a card). The lengths are written into the file's own
// header list only; the stray copy is part of the kept bytes and stays as it was.
TEST_F(Recovery, AHeaderListAfterTheMovieDataIsLeftAsItWas) {
    std::string bytes = readAll(m_cut);
    const std::size_t at = chunkAt(bytes, "00dc", 10);
    const std::size_t header = bytes.find("LIST");
    const std::size_t movie = bytes.find("movi");
    ASSERT_NE(at, std::string::npos);
    ASSERT_LT(header, movie);
    std::uint32_t headerSize = 0;
    std::memcpy(&headerSize, bytes.data() + header + 4, 4);
    bytes.insert(at, bytes.substr(header, 8 + headerSize));
    bytes.replace(movie - 4, 4, le32(static_cast<std::uint32_t>(at - movie)));
    std::ofstream(m_cut, std::ios::binary | std::ios::trunc) << bytes;
    RepairAviReader reader;
    ASSERT_EQ(reader.Open(m_cut), RepairAviReader::kNoError);
    EXPECT_EQ(reader.UnaccountedBytes(), bytes.size() - at - 12);  // from the copy's first chunk
    ASSERT_EQ(reader.Close(), RepairAviReader::kNoError);
    const std::string after = readAll(m_cut);
    ASSERT_GE(after.size(), bytes.size());
    EXPECT_EQ(after.compare(at, bytes.size() - at, bytes, at, bytes.size() - at), 0);
    // The file's own header now counts the ten frames before the copy.
    CAviParser2 parser;
    ASSERT_EQ(parser.OpenStream(m_cut.string(), 0), 1);
    EXPECT_EQ(parser.GetVideoLength(), 10);
}

TEST_F(Recovery, ARecordingCutShortLosesOnlyItsUnfinishedLastChunk) {
    const std::string before = readAll(m_cut);
    CRecoverAvi recover(m_format, m_logs.path().string());
    ASSERT_EQ(recover.RepairFolder(m_card / "normal"), 1);
    const std::string after = readAll(m_card / "normal" / "TCY_0002_20240229_130511_N_1.avi");
    // The new index stands where the unfinished chunk started, whose size ran past the end.
    const std::size_t index = after.rfind("idx1");
    ASSERT_NE(index, std::string::npos);
    ASSERT_LT(index + 8, before.size());
    std::uint32_t size = 0;
    std::memcpy(&size, before.data() + index + 4, 4);
    EXPECT_GT(index + 8 + size, before.size());
    const std::size_t movie = before.find("movi") + 4;
    EXPECT_EQ(after.compare(movie, index - movie, before, movie, index - movie), 0);
}

TEST_F(Recovery, RenamedFileKeepsTheModeOfItsFolder) {
    std::filesystem::create_directory(m_card / "event");
    const auto moved = m_card / "event" / "TCY_0002_.avi";
    std::filesystem::rename(m_cut, moved);
    m_catalogue.EnableRecovery(1);
    ASSERT_EQ(m_catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(m_catalogue.procOpenList(), 1);
    EXPECT_FALSE(std::filesystem::exists(moved));
    EXPECT_TRUE(std::filesystem::exists(m_card / "event" / "TCY_0002_20240229_130511_E_1.avi"));
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [](const CTimeList& entry) {
        return entry.CurrentPath(0).find("/event/") != std::string::npos;
    });
    ASSERT_NE(found, m_entries.end());
    EXPECT_EQ(found->m_nRecordMode[0], 1);
}

TEST_F(Recovery, OtherWritersChunksAndShortStartCodesGiveTheSameIndex) {
    const std::vector<std::uint32_t> reference = videoFlags(m_cut);
    ASSERT_GE(reference.size(), 35U);
    EXPECT_EQ(reference[0], 0x10U);
    EXPECT_EQ(reference[30], 0x10U);
    EXPECT_EQ(std::count(reference.begin(), reference.end(), 0x10U), 2);
    std::string bytes = readAll(m_cut);
    // 3-byte start codes at the start of every video chunk: 00 00 01 and the NAL header.
    for (std::size_t at = chunkAt(bytes, "00dc", 0); at != std::string::npos; at = bytes.find("00dc", at + 1)) {
        if (at + 13 <= bytes.size() && bytes.compare(at + 8, 4, std::string("\0\0\0\1", 4)) == 0) {
            bytes[at + 10] = 1;
            bytes[at + 11] = bytes[at + 12];
        }
    }
    // A JUNK chunk of odd size, a field index and a "rec " list around a chunk.
    const std::size_t second = chunkAt(bytes, "00dc", 2);
    std::uint32_t size = 0;
    std::memcpy(&size, bytes.data() + second + 4, 4);
    bytes.insert(second, "LIST" + le32(4 + 8 + size + (size & 1U)) + "rec ");
    const std::size_t fifth = chunkAt(bytes, "00dc", 5);
    bytes.insert(fifth, "JUNK" + le32(5) + "junk!" + std::string(1, '\0') + "ix00" + le32(16) + std::string(16, 'i'));
    std::ofstream(m_cut, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_EQ(videoFlags(m_cut), reference);
}

TEST(RepairAviReaderHevc, KeyFramesOfAnHevcRecordingCutShort) {
    TempFolder folder;
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = folder.path() / "card";
    options.codec = mkcard::VideoEncoder::Codec::Hevc;
    options.width = 64;
    options.height = 48;
    options.seconds = 2;
    options.periodSeconds = 2;
    options.damage = {"cut"};
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    const auto files = tachy::DirectoryListing::list(options.out / "normal", "*.avi");
    ASSERT_EQ(files.size(), 1U);
    const std::vector<std::uint32_t> flags = videoFlags(options.out / "normal" / files[0].name);
    ASSERT_GE(flags.size(), 35U);
    for (std::size_t i = 0; i < flags.size(); ++i) {
        EXPECT_EQ(flags[i], i % 30 == 0 ? 0x10U : 0U) << i;
    }
}
