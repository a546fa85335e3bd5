#include "util/avi/CAviParser2.h"
#include "util/avi/MulDiv.h"
#include "util/avi/ParsedAviFile.h"

#include "tests/avi/ClipFixture.h"
#include "tests/support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <limits>

using tachy::test::ClipOptions;
using tachy::test::TempFolder;

namespace {

class Parser2 : public testing::Test {
protected:
    std::string clip(const ClipOptions& options = {}, const std::string& name = "clip.avi") {
        const auto path = m_folder.path() / name;
        EXPECT_TRUE(tachy::test::writeClip(path, options));
        return path.string();
    }
    std::unique_ptr<IAVIParser> open(const std::string& path) {
        auto parser = IAVIParser::Create(1);
        EXPECT_EQ(parser->OpenStream(path, 0), 1);
        EXPECT_EQ(parser->OpenVideoStream(0), 1);
        return parser;
    }
    // Every frame's bytes, key flag and time as the parser hands them out.
    void expectFramesAsWritten(IAVIParser& parser, const ClipOptions& options) {
        parser.SetStreamPosVideo(0);
        for (int n = 0; n < options.frames; ++n) {
            tachy::avi::BitmapInfoHeader bih{};
            std::int64_t time = -1;
            int key = -1;
            int frame = -1;
            ASSERT_EQ(parser.GetVideoHeader(&bih, &time, &key, &frame), 1) << n;
            const auto written = tachy::test::clipFrame(n, options.keyInterval);
            std::string expected = written.bytes;
            if (written.key && n != 0) {
                // Key frames without their own SPS get the header of frame 0 in front, which
                // keeps one zero byte of the following start code.
                expected = tachy::test::sps() + tachy::test::pps() + std::string(1, '\0') + expected;
            }
            EXPECT_EQ(key, written.key ? 1 : 0) << n;
            EXPECT_EQ(frame, n);
            EXPECT_EQ(time, n * 1000 / 30) << n;
            ASSERT_EQ(bih.biSizeImage, expected.size()) << n;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(parser.GetVideoStream(0)), bih.biSizeImage),
                      expected) << n;
            EXPECT_EQ(bih.biWidth, 64);
        }
        EXPECT_EQ(parser.GetVideoHeader(nullptr, nullptr, nullptr, nullptr), 0);
    }

    TempFolder m_folder;
};

} // namespace

TEST_F(Parser2, ReportsTheFiguresOfAClip) {
    const std::string path = clip();
    auto parser = IAVIParser::Create(1);
    _TAG_STREAM_INFO info{};
    ASSERT_EQ(parser->GetStreamInfo(path, &info, 0), 1);
    EXPECT_EQ(info.dwVideoScale, 1000U);
    EXPECT_EQ(info.dwVideoRate, 30000U);
    EXPECT_EQ(info.dwVideoLength, 45U);
    EXPECT_EQ(info.llVideoStartTime, 0);
    EXPECT_EQ(info.llVideoDuration, 1500);
    EXPECT_EQ(info.llVideoEndTime, 1500);
    EXPECT_EQ(info.dwAudioLength, 15U);
    EXPECT_EQ(info.dwAudioBlockSize, 800U);
    EXPECT_EQ(info.dwAudioBytesPerSec, 8000U);
    EXPECT_EQ(info.fccAudioHandler, tachy::avi::fourCC("WAVE"));
    EXPECT_EQ(info.dwUserDataCount, 45U);
    EXPECT_EQ(info.dwFirstUserDataSize, 72U);
    EXPECT_EQ(parser->GetDuration(path), 1500U);
    EXPECT_EQ(parser->isOpen(), 0);  // GetStreamInfo leaves no file open
}

TEST_F(Parser2, HandsOutFramesWithTheCodecHeaderInFrontOfLaterKeyFrames) {
    const ClipOptions options;
    auto parser = open(clip(options));
    const std::string header = tachy::test::sps() + tachy::test::pps() + std::string(1, '\0');
    const auto& cut = dynamic_cast<CAviParser2&>(*parser).CodecHeader();
    EXPECT_EQ(std::string(cut.begin(), cut.end()), header);
    expectFramesAsWritten(*parser, options);
}

TEST_F(Parser2, FindsFramesAndKeyFrames) {
    auto parser = open(clip());
    std::int64_t time = -1;
    EXPECT_EQ(parser->FindVideoStream(15, 0, 1, &time), 15);  // a key frame finds itself
    EXPECT_EQ(time, 500);
    EXPECT_EQ(parser->FindVideoStream(15, 0, 0, &time), 16);  // any frame: the next one
    EXPECT_EQ(parser->FindVideoStream(16, 0, 1, &time), 30);
    EXPECT_EQ(parser->FindVideoStream(29, -1, 1, &time), 15);
    EXPECT_EQ(parser->FindVideoStream(0, -1, 0, &time), -1);
    EXPECT_EQ(parser->FindVideoStream(31, 0, 1, &time), -1);  // no key frame after 30
    EXPECT_EQ(parser->FindVideoStream(44, 0, 0, &time), -1);
    EXPECT_EQ(parser->FindVideoStream(45, 0, 1, &time), -1);  // outside the index
    EXPECT_EQ(parser->GetVideoStartPos(), 0);
    EXPECT_EQ(parser->GetVideoLength(), 45);
    EXPECT_EQ(parser->GetVideoLength(1000), 30);
    EXPECT_EQ(parser->GetVideoLength(99999), 45);  // clamped to the length
    parser->SetStreamPosVideo(45);
    EXPECT_EQ(parser->GetVideoHeader(nullptr, nullptr, nullptr, nullptr), 0);
}

TEST_F(Parser2, ReadsAudioBlocksAndDrivingDataRecords) {
    auto parser = open(clip());
    ASSERT_EQ(parser->OpenAudioStream(), 1);
    EXPECT_EQ(parser->GetAudioFormat(), 7);
    EXPECT_EQ(parser->GetAudioFrequency(), 8000);
    EXPECT_EQ(parser->GetAudioBitPerSample(), 8);
    EXPECT_EQ(parser->GetStreamPosVideoToAudio(30), 10);  // 1 s = ten 100 ms blocks
    parser->SetStreamPosAudio(10);
    tachy::avi::WaveFormatEx wfx{};
    std::int64_t time = -1;
    std::uint32_t size = 0;
    ASSERT_EQ(parser->GetAudioHeader(&wfx, &time, &size), 1);
    EXPECT_EQ(time, 1000);
    EXPECT_EQ(size, 800U);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parser->GetAudioStream(0)), size),
              tachy::test::audioChunk(10));
    parser->SetStreamPosAudio(15);
    EXPECT_EQ(parser->GetAudioHeader(&wfx, &time, &size), 0);

    EXPECT_EQ(parser->ReadUserData(0, &size), nullptr);  // stream not open yet
    ASSERT_EQ(parser->OpenUserStream(), 1);
    const std::uint8_t* record = parser->ReadUserData(44, &size);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record), size), tachy::test::drivingRecord(44));
    EXPECT_EQ(parser->ReadUserData(45, &size), nullptr);
    EXPECT_EQ(parser->GetTotalUserDataCount(1000), 30);
}

TEST_F(Parser2, RebuildsTheIndexWhenIdx1IsMissing) {
    ClipOptions options;
    options.index = false;
    auto parser = open(clip(options));
    expectFramesAsWritten(*parser, options);
    ASSERT_EQ(parser->OpenUserStream(), 1);
    std::uint32_t size = 0;
    EXPECT_NE(parser->ReadUserData(44, &size), nullptr);
}

TEST_F(Parser2, ReadsAbsoluteIndexOffsets) {
    ClipOptions options;
    options.absoluteIndex = true;
    auto parser = open(clip(options));
    expectFramesAsWritten(*parser, options);
}

TEST_F(Parser2, FindsTheRiffHeaderAfterAPreambleOfUpTo183Bytes) {
    ClipOptions options;
    options.preamble = 100;
    auto parser = open(clip(options, "a.avi"));
    expectFramesAsWritten(*parser, options);
    options.preamble = 183;
    EXPECT_EQ(IAVIParser::Create(1)->OpenStream(clip(options, "b.avi"), 0), 1);
    options.preamble = 184;
    const std::string late = clip(options, "c.avi");
    auto refused = IAVIParser::Create(1);
    EXPECT_EQ(refused->OpenStream(late, 0), 0);
    EXPECT_EQ(refused->isOpen(), 0);
    EXPECT_EQ(refused->GetDuration(late), 0U);
}

TEST_F(Parser2, CutShortFileOpensWithTheFramesThatAreThere) {
    ClipOptions options;
    options.index = false;
    const std::string path = clip(options);
    const auto full = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, full * 2 / 3);
    auto parser = open(path);
    const int frames = parser->GetVideoLength();
    EXPECT_GT(frames, 10);
    EXPECT_LT(frames, 45);
    parser->SetStreamPosVideo(frames - 1);
    EXPECT_EQ(parser->GetVideoHeader(nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(Parser2, RefusesWhatIsNotARecording) {
    const auto small = m_folder.write("small.avi", "RIFF\x10\0\0\0AVI LIST");
    const auto noise = m_folder.write("noise.avi", std::string(4096, 'x'));
    auto parser = IAVIParser::Create(1);
    _TAG_STREAM_INFO info{};
    EXPECT_EQ(parser->GetStreamInfo(small.string(), &info, 0), 0);
    EXPECT_EQ(parser->GetStreamInfo(noise.string(), &info, 0), 0);
    EXPECT_EQ(parser->GetStreamInfo((m_folder.path() / "missing.avi").string(), &info, 0), 0);
    EXPECT_EQ(parser->GetStreamInfo("/no/such/drive/clip.avi", &info, 0), 0);
    EXPECT_EQ(parser->GetDuration((m_folder.path() / "missing.avi").string()), 0xFFFFFFFF8004406FULL);
    EXPECT_EQ(parser->OpenVideoStream(0), 0);
    EXPECT_EQ(parser->FindVideoStream(0, 0, 1, nullptr), -1);
    EXPECT_EQ(parser->GetVideoLength(), -1);
    EXPECT_EQ(parser->GetVideoLength(100), 0);
    EXPECT_EQ(parser->GetVideoStream(0), nullptr);
    EXPECT_EQ(IAVIParser::Create(2), nullptr);
}

TEST_F(Parser2, VideoStreamWithRateZeroCannotBeOpened) {
    const std::string path = clip();
    // Patch the video stream header's dwRate (strh body at 12 + 12 + 8 + 56 + 12 + 8, +24).
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(12 + 12 + 8 + 56 + 12 + 8 + 24);
    const std::uint32_t zero = 0;
    file.write(reinterpret_cast<const char*>(&zero), 4);
    file.close();
    auto parser = IAVIParser::Create(1);
    _TAG_STREAM_INFO info{};
    EXPECT_EQ(parser->GetStreamInfo(path, &info, 0), 0);
    EXPECT_EQ(parser->OpenStream(path, 0), 0);
    EXPECT_EQ(parser->GetDuration(path), 0U);
}

TEST_F(Parser2, QuickDurationStopsAtAStreamTypeItDoesNotKnow) {
    const std::string path = clip();
    // The first stream header's fccType (strh body at 12 + 12 + 8 + 56 + 12 + 8).
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(12 + 12 + 8 + 56 + 12 + 8);
    file.write("mids", 4);
    file.close();
    EXPECT_EQ(IAVIParser::Create(1)->GetDuration(path), 0U);
}

// Found by the recording parsers' fuzz targets: a header's scale, rate and positions multiplied
// past 64 bits. Times are now formed in 128 bits and held at the 64-bit limits.
TEST(RecordingTimes, HeaderFiguresOfAnySizeGiveTimesWithoutOverflow) {
    util::ParsedAviStream stream;
    stream.header.dwScale = 1001;
    stream.header.dwRate = 30000;
    EXPECT_EQ(stream.sampleToTime(30), 1001);
    stream.header.dwScale = 0xFFFFFFFFU;
    stream.header.dwRate = 1;
    EXPECT_EQ(stream.sampleToTime(0xFFFFFFFFLL), std::numeric_limits<std::int64_t>::max());
    stream.header.dwScale = 1;
    stream.header.dwRate = 0xFFFFFFFFU;
    stream.index.resize(10);
    EXPECT_EQ(stream.timeToSample(std::numeric_limits<std::int64_t>::max() / 2), 10);

    EXPECT_EQ(tachy::avi::mulDiv(-5, 3, 2), -7); // toward zero, as 64-bit division does
    EXPECT_EQ(tachy::avi::mulDiv(std::numeric_limits<std::int64_t>::min(), 2, 1),
              std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(tachy::avi::mulDiv(1, 1, 0), 0);
}
