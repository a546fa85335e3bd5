#include "util/avi/CAviParser2.h"
#include "util/avi/CAviWriter.h"

#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using tachy::test::TempFolder;

namespace {

const std::string kKey = std::string("\0\0\0\1\x65" "key", 8);
const std::string kDelta = std::string("\0\0\0\1\x41" "delta", 10);

} // namespace

TEST(CAviWriter, RefusesANonKeyFirstFrameAndUnknownTypes) {
    const TempFolder folder;
    CAviWriter writer;
    EXPECT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 0);  // no file yet
    ASSERT_EQ(writer.Open((folder.path() / "a.avi").string()), 1);
    EXPECT_EQ(writer.OpenVideoStream(8, 30, 64, 48, 0, 0), 0);
    ASSERT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 1);
    EXPECT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 0);  // only one video stream
    EXPECT_EQ(writer.GetWidth(), 64);
    EXPECT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 0);
    EXPECT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 1);
    EXPECT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 1);
    ASSERT_EQ(writer.Close(), 1);
    EXPECT_EQ(writer.IsOpen(), 0);

    auto parser = IAVIParser::Create(1);
    ASSERT_EQ(parser->OpenStream((folder.path() / "a.avi").string(), 0), 1);
    EXPECT_EQ(parser->GetVideoLength(), 2);
}

TEST(CAviWriter, SkippedSamplesStayEmptyAndRecordsFollowTheVideoNumber) {
    const TempFolder folder;
    const std::string path = (folder.path() / "b.avi").string();
    CAviWriter writer;
    ASSERT_EQ(writer.Open(path), 1);
    ASSERT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 1);
    ASSERT_EQ(writer.OpenUserStream(30, 72, "fmt", 3), 1);  // an odd format size is padded
    ASSERT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 1);      // sample 0
    ASSERT_EQ(writer.WriteUserData("after frame 0", 13, 0), 1);  // filed under sample 1
    writer.IncSampleCount(3);
    ASSERT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 1);   // sample 3: 1 and 2 stay empty
    ASSERT_EQ(writer.Close(), 1);

    auto parser = IAVIParser::Create(1);
    ASSERT_EQ(parser->OpenStream(path, 0), 1);
    ASSERT_EQ(parser->OpenVideoStream(0), 1);
    EXPECT_EQ(parser->GetVideoLength(), 4);
    tachy::avi::BitmapInfoHeader bih{};
    parser->SetStreamPosVideo(1);
    ASSERT_EQ(parser->GetVideoHeader(&bih, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(bih.biSizeImage, 0U);
    parser->SetStreamPosVideo(3);
    ASSERT_EQ(parser->GetVideoHeader(&bih, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(bih.biSizeImage, 10U);
    ASSERT_EQ(parser->OpenUserStream(), 1);
    std::uint32_t size = 0;
    EXPECT_EQ(parser->ReadUserData(1, &size), parser->GetUserData());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parser->GetUserData()), size), "after frame 0");
    ASSERT_NE(parser->ReadUserData(0, &size), nullptr);
    EXPECT_EQ(size, 0U);  // sample 0 of the records was left empty
}

TEST(CAviWriter, CallerNumberingPlacesFramesWhereTheCallerSays) {
    const TempFolder folder;
    const std::string path = (folder.path() / "c.avi").string();
    CAviWriter writer;
    ASSERT_EQ(writer.Open(path), 1);
    ASSERT_EQ(writer.OpenVideoStream(5, 15, 32, 32, 0, 1), 1);
    ASSERT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 1);
    writer.IncSampleCount(5);
    ASSERT_EQ(writer.WriteVideo(kDelta.data(), 10, 0), 1);
    ASSERT_EQ(writer.Close(), 1);
    auto parser = IAVIParser::Create(1);
    _TAG_STREAM_INFO info{};
    ASSERT_EQ(parser->GetStreamInfo(path, &info, 0), 1);
    EXPECT_EQ(info.dwVideoLength, 6U);
    EXPECT_EQ(info.dwVideoRate, 15000U);
    EXPECT_EQ(info.llVideoDuration, 400);
}

TEST(CAviWriter, OperationsWithoutAFileAnswerZero) {
    CAviWriter writer;
    EXPECT_EQ(writer.WriteVideo(kKey.data(), 8, 1), 0);
    EXPECT_EQ(writer.WriteAudio("x", 1), 0);
    EXPECT_EQ(writer.WriteUserData("x", 1, 0), 0);
    EXPECT_EQ(writer.OpenAudioStream(0, 16, 16000, 1, 3200), 0);
    EXPECT_EQ(writer.Close(), 0);
    EXPECT_EQ(writer.Open("/no/such/folder/x.avi"), 0);
    writer.SetExtraInfo(7);
    EXPECT_EQ(writer.GetExtraInfo(), 7);
}

namespace {

// What ffprobe, a reader we did not write, says of one stream: its "key=value" lines.
std::string probeStream(const std::string& path, const std::string& stream) {
    return tachy::test::runCommand(
        "ffprobe -v error -count_packets -select_streams " + stream +
        " -show_entries stream=codec_type,codec_name,r_frame_rate,time_base,"
        "nb_read_packets -of default=noprint_wrappers=1 '" +
        path + "' 2>/dev/null");
}

int probeStreamCount(const std::string& path) {
    const std::string lines = tachy::test::runCommand(
        "ffprobe -v error -show_entries stream=index -of csv=p=0 '" + path + "' 2>/dev/null");
    return static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
}

// 30 frames at 30 a second (a key frame every 10), 1 s of 8 kHz mu-law in 100 ms chunks and a
// record per frame; `edit` runs after the first ten frames, once the headers are on disk.
void writeSecondClip(CAviWriter& writer, const std::string& path, int videoType,
                     const std::function<void(CAviWriter&)>& edit) {
    ASSERT_EQ(writer.Open(path), 1);
    ASSERT_EQ(writer.OpenVideoStream(videoType, 30, 64, 48, 0, 0), 1);
    ASSERT_EQ(writer.OpenAudioStream(1, 8, 8000, 1, 800), 1);
    ASSERT_EQ(writer.OpenUserStream(30, 72, "fmt", 3), 1);
    const std::string sound(800, '\x7F');
    const std::string record(72, 'r');
    for (int frame = 0; frame < 30; ++frame) {
        const bool key = frame % 10 == 0;
        ASSERT_EQ(writer.WriteUserData(record.data(), 72, 0), 1);
        ASSERT_EQ(writer.WriteVideo(key ? kKey.data() : kDelta.data(), key ? 8 : 10, key ? 1 : 0),
                  1);
        if (frame % 3 == 0) {
            ASSERT_EQ(writer.WriteAudio(sound.data(), 800), 1);
        }
        if (frame == 9) {
            edit(writer);
        }
    }
    ASSERT_EQ(writer.Close(), 1);
}

bool has(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

} // namespace

TEST(CAviWriter, FfprobeReadsTheStreamsCodecsAndSampleCountsWritten) {
    const TempFolder folder;
    for (const auto& [type, codec] : {std::pair{5, "h264"}, std::pair{7, "hevc"}}) {
        const std::string path = (folder.path() / (std::string(codec) + ".avi")).string();
        CAviWriter writer;
        writeSecondClip(writer, path, type, [](CAviWriter&) {});
        EXPECT_EQ(probeStreamCount(path), 3) << codec;
        const std::string video = probeStream(path, "v:0");
        EXPECT_TRUE(has(video, std::string("codec_name=") + codec)) << video;
        EXPECT_TRUE(has(video, "r_frame_rate=30/1")) << video;
        EXPECT_TRUE(has(video, "nb_read_packets=30")) << video;
        const std::string audio = probeStream(path, "a:0");
        EXPECT_TRUE(has(audio, "codec_name=pcm_mulaw")) << audio;
        EXPECT_TRUE(has(audio, "nb_read_packets=10")) << audio;
        const std::string records = probeStream(path, "s:0");
        EXPECT_TRUE(has(records, "time_base=1/30")) << records;
        EXPECT_TRUE(has(records, "nb_read_packets=30")) << records;
    }
}

TEST(CAviWriter, EditVideoStreamRetimesTheVideoToFifteenFramesASecond) {
    const TempFolder folder;
    const std::string path = (folder.path() / "edited.avi").string();
    CAviWriter writer;
    writeSecondClip(writer, path, 5,
                    [](CAviWriter& open) { EXPECT_EQ(open.EditVideoStream(0), 1); });

    const std::string video = probeStream(path, "v:0");
    EXPECT_TRUE(has(video, "r_frame_rate=15/1")) << video;
    EXPECT_TRUE(has(video, "nb_read_packets=30")) << video;
    EXPECT_TRUE(has(probeStream(path, "s:0"), "time_base=1/30")); // the records keep their clock
    auto parser = IAVIParser::Create(1);
    _TAG_STREAM_INFO info{};
    ASSERT_EQ(parser->GetStreamInfo(path, &info, 0), 1);
    EXPECT_EQ(info.dwVideoScale, 1000U);
    EXPECT_EQ(info.dwVideoRate, 15000U);
    EXPECT_EQ(info.dwVideoLength, 30U);
    EXPECT_EQ(info.llVideoDuration, 2000);
}

TEST(CAviWriter, EditUserStreamRetimesTheRecordsAndLeavesTheVideoAlone) {
    const TempFolder folder;
    const std::string path = (folder.path() / "records.avi").string();
    CAviWriter writer;
    writeSecondClip(writer, path, 5, [](CAviWriter& open) {
        EXPECT_EQ(open.EditUserStream(0), 0); // a rate of 0 would make the stream unreadable
        EXPECT_EQ(open.EditUserStream(15000), 1);
    });

    EXPECT_TRUE(has(probeStream(path, "s:0"), "time_base=1/15"));
    EXPECT_TRUE(has(probeStream(path, "v:0"), "r_frame_rate=30/1"));
    auto parser = IAVIParser::Create(1);
    ASSERT_EQ(parser->OpenStream(path, 0), 1);
    ASSERT_EQ(parser->OpenVideoStream(0), 1);
    EXPECT_EQ(parser->GetVideoLength(500), 15); // the video keeps 30 frames a second
    ASSERT_EQ(parser->OpenUserStream(), 1);
    EXPECT_EQ(parser->GetTotalUserDataCount(1000), 15); // record 15 plays at 1 s
}

TEST(CAviWriter, EditsNeedTheStreamTheyChange) {
    const TempFolder folder;
    CAviWriter writer;
    EXPECT_EQ(writer.EditVideoStream(0), 0);
    EXPECT_EQ(writer.EditUserStream(15000), 0);
    ASSERT_EQ(writer.Open((folder.path() / "e.avi").string()), 1);
    EXPECT_EQ(writer.EditVideoStream(0), 0);
    EXPECT_EQ(writer.EditUserStream(15000), 0);
    ASSERT_EQ(writer.OpenVideoStream(5, 30, 64, 48, 0, 0), 1);
    EXPECT_EQ(writer.EditVideoStream(0), 1);
    EXPECT_EQ(writer.EditUserStream(15000), 0);
}
