#include "engine/CArchiveAvi.h"

#include "tests/avi/ClipFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStart = 1709211909;  // 2024-02-29 13:05:09 UTC

class ArchiveAvi : public testing::Test {
protected:
    void SetUp() override {
        m_format = naming::ReadNameFormat(std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini", 2);
        m_archive.SetNameFormat(m_format);
        // 3 s at 30 fps, key frames every 15 frames (every half second).
        tachy::test::ClipOptions options;
        options.frames = 90;
        m_path = naming::BuildName(m_format, m_folder.path().string(), 1, 12, kStart, 0, 3000, 'E');
        ASSERT_TRUE(tachy::test::writeClip(m_path, options));
    }

    TempFolder m_folder;
    _AVI_NAME_FORMAT2 m_format{};
    CArchiveAvi m_archive;
    std::string m_path;
};

} // namespace

TEST(ResolutionCode, FirstMatchingSizeWins) {
    EXPECT_EQ(ResolutionCode(352, 240), 4);
    EXPECT_EQ(ResolutionCode(720, 288), 3);
    EXPECT_EQ(ResolutionCode(640, 480), 6);
    EXPECT_EQ(ResolutionCode(720, 576), 2);
    EXPECT_EQ(ResolutionCode(800, 480), 5);
    EXPECT_EQ(ResolutionCode(1280, 720), 1);
    EXPECT_EQ(ResolutionCode(1920, 1080), 0);
}

TEST_F(ArchiveAvi, OpensAndDescribesFramesWithAbsoluteTimes) {
    ASSERT_EQ(m_archive.Open(m_path, 0), 1);
    EXPECT_EQ(m_archive.Channel(), 1);
    EXPECT_EQ(m_archive.TimeBase(), kStart * 1000);
    m_archive.Seek(16);
    const _FRAME_DESC* frame = m_archive.ReadVideoFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->nMarker, 511);
    EXPECT_EQ(frame->dwMarkerWord & 0xFFFFFF, 0x03260AU);
    EXPECT_EQ(frame->dwChannelRes & 0x0F, 1U);
    EXPECT_EQ((frame->dwChannelRes >> 8) & 0x0F, 4U);  // 64 x 48
    EXPECT_EQ(frame->dwSecond, static_cast<std::uint32_t>(kStart));
    EXPECT_EQ(frame->wMillisecond, 533);                // frame 16 at 30 fps
    EXPECT_EQ(frame->dwFrameType, 0U);
    EXPECT_EQ(frame->nFramePosition, 16);
    const auto written = tachy::test::clipFrame(16, 15);
    EXPECT_EQ(frame->dwSizes & 0x7FFFF, written.bytes.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m_archive.ReadVideoData(0)), written.bytes.size()),
              written.bytes);
    m_archive.Seek(30);
    frame = m_archive.ReadVideoFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->dwFrameType, 1U);
    EXPECT_EQ(frame->dwSecond, static_cast<std::uint32_t>(kStart + 1));
    m_archive.Seek(90);
    EXPECT_EQ(m_archive.ReadVideoFrame(), nullptr);
}

TEST_F(ArchiveAvi, KeyTableSearchesByPositionAndSecond) {
    EXPECT_EQ(m_archive.FindKeyByPosition(10, 1, 0), -1);  // empty table
    EXPECT_EQ(m_archive.FindKeyBySecond(kStart, 0), -1);
    ASSERT_EQ(m_archive.Open(m_path, 0), 1);
    ASSERT_EQ(m_archive.BuildKeyIndex(), 1);
    ASSERT_EQ(m_archive.GetKeyCount(), 6);  // frames 0, 15, 30, 45, 60, 75
    _KEY_ENTRY entry{};
    EXPECT_EQ(m_archive.GetKeyEntry(2, &entry), 2);
    EXPECT_EQ(entry.llPosition, 30);
    EXPECT_EQ(entry.dwSecond, static_cast<std::uint32_t>(kStart + 1));
    EXPECT_EQ(m_archive.GetKeyEntry(6, &entry), -1);

    EXPECT_EQ(m_archive.FindKeyByPosition(-5, 1, 0), 0);
    EXPECT_EQ(m_archive.FindKeyByPosition(80, 0, 1), 5);
    EXPECT_EQ(m_archive.FindKeyByPosition(30, 1, 0), 2);  // exact hit
    EXPECT_EQ(m_archive.FindKeyByPosition(30, 1, 1), 3);  // step forward
    EXPECT_EQ(m_archive.FindKeyByPosition(30, 0, 1), 1);  // step back
    EXPECT_EQ(m_archive.FindKeyByPosition(0, 0, 1), 0);   // stays inside the table
    EXPECT_EQ(m_archive.FindKeyByPosition(40, 1, 0), 3);  // between 30 and 45
    EXPECT_EQ(m_archive.FindKeyByPosition(40, 0, 0), 2);

    EXPECT_EQ(m_archive.FindKeyBySecond(-1, 0), 0);
    EXPECT_EQ(m_archive.FindKeyBySecond(kStart, 0), 0);
    EXPECT_EQ(m_archive.FindKeyBySecond(kStart + 1, 0), 2);  // the first key of that second
    EXPECT_EQ(m_archive.FindKeyBySecond(kStart + 9, 0), 5);  // beyond: the last below

    m_archive.ClearKeyIndex();
    ASSERT_EQ(m_archive.BuildKeyIndexUntil(0, 0, kStart + 1), 1);
    EXPECT_EQ(m_archive.GetKeyCount(), 4);  // keys up to second kStart + 1
}

TEST_F(ArchiveAvi, SyncsSoundAndReadsRecords) {
    ASSERT_EQ(m_archive.Open(m_path, 0), 1);
    ASSERT_EQ(m_archive.OpenAudio(m_path), 1);
    EXPECT_EQ(m_archive.GetAudioFormat(), 7);
    EXPECT_EQ(m_archive.GetAudioFrequency(), 8000);
    ASSERT_EQ(m_archive.SyncAudio(45), 1);
    const _FRAME_DESC* block = m_archive.ReadAudioFrame();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->dwSecond, static_cast<std::uint32_t>(kStart + 1));
    EXPECT_EQ(block->wMillisecond, 500);
    EXPECT_EQ(block->dwSizes >> 19, 800U);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m_archive.ReadAudioData(0)), 800),
              tachy::test::audioChunk(15));
    std::uint32_t length = 0;
    ASSERT_NE(m_archive.ReadUserData(89, &length), nullptr);
    EXPECT_EQ(length, 72U);
    EXPECT_EQ(m_archive.GetUserDataCount(1000), 30);
    EXPECT_EQ(m_archive.GetVideoLength(2000), 60);
    EXPECT_EQ(m_archive.GetDuration(m_path), 3000U);
}

TEST_F(ArchiveAvi, FileInfoForTheCardWalk) {
    _FILE_INFO start[3] = {};
    _FILE_INFO end[3] = {};
    int bits = -1;
    int count = -1;
    ASSERT_EQ(m_archive.GetFileInfo(m_path, start, end, &bits, &count), 1);
    EXPECT_EQ(start[0].dwSecond, static_cast<std::uint32_t>(kStart));
    EXPECT_EQ(start[0].dwFileNumber, 12U);
    EXPECT_EQ(start[0].dwChannel, 1U);
    EXPECT_EQ(end[0].dwSecond, static_cast<std::uint32_t>(kStart + 3));
    EXPECT_EQ(bits, 1);  // event
    EXPECT_EQ(count, 0);  // rule A carries no channel count
    EXPECT_EQ(m_archive.GetFileInfo(m_folder.path() / "junk.avi", start, end, &bits, &count), 0);
    const auto empty = naming::BuildName(m_format, m_folder.path().string(), 0, 13, kStart, 0, 0, 'N');
    m_folder.write(std::filesystem::path(empty).filename().string(), std::string(300, 'x'));
    EXPECT_EQ(m_archive.GetFileInfo(empty, start, end, &bits, &count), -1);
}

TEST_F(ArchiveAvi, NamesThatDoNotParse) {
    int channel = 5;
    EXPECT_EQ(m_archive.ParseChannel("TCY_0012_20240229_130509_E_3.avi", &channel), 2);
    EXPECT_EQ(channel, 2);
    EXPECT_EQ(m_archive.ParseChannel("holiday.avi", &channel), -2);
    const auto renamed = m_folder.path() / "holiday.avi";
    std::filesystem::copy_file(m_path, renamed);
    EXPECT_EQ(m_archive.Open(renamed.string(), 0), 0);
    EXPECT_EQ(m_archive.Open((m_folder.path() / "absent.avi").string(), 0), 0);
}
