// The type-0 recording parser on files that other programs wrote (FFmpeg's and GStreamer's AVI
// muxers, and copies of them cut short): it reads the same video frames (bytes and key flags)
// and the same audio bytes as libavformat, and reports the audio figures the file states.

#include "util/avi/CAviParser.h"

#include "platform/avi/AviFileWriter.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>

extern "C" {
#include <libavformat/avformat.h>
}

using tachy::test::TempFolder;
namespace avi = tachy::avi;

namespace {

struct Frame {
    std::string bytes;
    bool key = false;
};

struct Reading {
    std::vector<Frame> video;
    std::string audio;
};

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// What libavformat reads: the packets of video stream `videoOrdinal` (0 = the first) and the
// first audio stream's bytes. A packet cut short by the end of the file is not a whole frame
// and is left out.
Reading libavformatReading(const std::string& path, int videoOrdinal = 0) {
    Reading reading;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), av_find_input_format("avi"), nullptr) != 0) {
        ADD_FAILURE() << "libavformat does not open " << path;
        return reading;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> context(raw);
    int video = -1;
    for (unsigned i = 0, seen = 0; i < context->nb_streams && video < 0; ++i) {
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            seen++ == static_cast<unsigned>(videoOrdinal)) {
            video = static_cast<int>(i);
        }
    }
    const int audio = av_find_best_stream(context.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(context.get(), packet) >= 0) {
        const std::string bytes(reinterpret_cast<const char*>(packet->data),
                                static_cast<std::size_t>(packet->size));
        if ((packet->flags & AV_PKT_FLAG_CORRUPT) != 0) {
            // left out
        } else if (packet->stream_index == video) {
            reading.video.push_back({bytes, (packet->flags & AV_PKT_FLAG_KEY) != 0});
        } else if (packet->stream_index == audio) {
            reading.audio += bytes;
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return reading;
}

Reading parserReading(CAviParser& parser, const std::string& path, int videoOrdinal = 0) {
    Reading reading;
    EXPECT_EQ(parser.OpenStream(path, videoOrdinal), 1) << path;
    EXPECT_EQ(parser.OpenVideoStream(videoOrdinal), 1) << path;
    parser.SetStreamPosVideo(parser.GetVideoStartPos());
    avi::BitmapInfoHeader bih{};
    int key = 0;
    while (parser.GetVideoHeader(&bih, nullptr, &key, nullptr) == 1) {
        reading.video.push_back(
            {std::string(reinterpret_cast<const char*>(parser.GetVideoStream(0)), bih.biSizeImage),
             key == 1});
    }
    if (parser.OpenAudioStream() == 1) {
        parser.SetStreamPosAudio(0);
        std::uint32_t size = 0;
        while (parser.GetAudioHeader(nullptr, nullptr, &size) == 1) {
            reading.audio.append(reinterpret_cast<const char*>(parser.GetAudioStream(0)), size);
        }
    }
    parser.CloseStream();
    return reading;
}

// The audio stream header's handler as the file states it (the "strh" followed by "auds").
avi::FourCC statedAudioHandler(const std::filesystem::path& path) {
    const std::string bytes = tachy::test::readAll(path);
    const std::string marker("auds", 4);
    for (std::size_t at = bytes.find("strh"); at != std::string::npos;
         at = bytes.find("strh", at + 4)) {
        if (at + 16 <= bytes.size() && bytes.compare(at + 8, 4, marker) == 0) {
            avi::FourCC handler = 0;
            std::memcpy(&handler, bytes.data() + at + 12, 4);
            return handler;
        }
    }
    return 0;
}

bool run(const std::string& command) {
    bool ok = false;
    tachy::test::runCommand(command + " 2>&1", &ok);
    return ok;
}

const char* const kLavfiPicture = "-f lavfi -i testsrc=size=160x120:rate=15 ";

// One file per writer and option: name and the command that writes it to OUT.
struct Writer {
    const char* name;
    std::string command;
};

std::vector<Writer> writers() {
    const std::string ffmpeg = std::string("ffmpeg -v error -y ") + kLavfiPicture;
    const std::string h264 = "-c:v libx264 -preset ultrafast -g 10 -bf 0 ";
    return {
        {"ffmpeg-h264-mulaw",
         ffmpeg + "-f lavfi -i sine=sample_rate=8000 -t 2 " + h264 + "-c:a pcm_mulaw -f avi OUT"},
        {"ffmpeg-hevc-s16le",
         ffmpeg + "-f lavfi -i sine=sample_rate=16000 -t 2 -c:v libx265 -preset ultrafast "
                  "-x265-params log-level=error:keyint=10:bframes=0 -tag:v HEVC "
                  "-c:a pcm_s16le -f avi OUT"},
        {"ffmpeg-h264-adpcm", ffmpeg + "-f lavfi -i sine=sample_rate=22050 -t 2 " + h264 +
                                  "-c:a adpcm_ima_wav -f avi OUT"},
        {"ffmpeg-h264-only", ffmpeg + "-t 2 " + h264 + "-f avi OUT"},
        {"ffmpeg-two-video",
         ffmpeg +
             "-f lavfi -i testsrc2=size=96x64:rate=15 -f lavfi -i sine=sample_rate=8000 "
             "-t 2 -map 0:v -map 1:v -map 2:a " +
             h264 + "-c:a pcm_mulaw -f avi OUT"},
        {"gst-h264-mulaw",
         "gst-launch-1.0 -q videotestsrc num-buffers=30 ! "
         "video/x-raw,width=160,height=120,framerate=15/1 ! "
         "x264enc key-int-max=10 bframes=0 speed-preset=ultrafast ! avimux name=mux ! "
         "filesink location=OUT audiotestsrc num-buffers=20 samplesperbuffer=800 ! "
         "audio/x-raw,rate=8000,channels=1 ! mulawenc ! mux."},
    };
}

std::string withOutput(std::string command, const std::string& path) {
    command.replace(command.find("OUT"), 3, "'" + path + "'");
    return command;
}

// A copy of the first `size` bytes of a file.
void writePrefix(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::size_t size) {
    const std::string bytes = tachy::test::readAll(from);
    std::ofstream(to, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(std::min(size, bytes.size())));
}

} // namespace

// Each writer's file is written once for the whole suite, when a test first asks for it (CTest
// runs every test in a process of its own).
class ForeignFiles : public testing::Test {
protected:
    static void SetUpTestSuite() { s_folder = std::make_unique<TempFolder>(); }
    static void TearDownTestSuite() { s_folder.reset(); }

    // The path of a writer's file, or of a copy written by the test itself.
    static std::string file(const std::string& name) {
        const std::string path = (s_folder->path() / (name + ".avi")).string();
        for (const Writer& writer : writers()) {
            if (name == writer.name && !std::filesystem::exists(path)) {
                EXPECT_TRUE(run(withOutput(writer.command, path))) << writer.name;
            }
        }
        return path;
    }

    static void expectSameReading(const std::string& path, const std::string& what,
                                  int videoOrdinal = 0) {
        CAviParser parser;
        const Reading theirs = libavformatReading(path, videoOrdinal);
        const Reading ours = parserReading(parser, path, videoOrdinal);
        ASSERT_FALSE(theirs.video.empty()) << what;
        ASSERT_EQ(ours.video.size(), theirs.video.size()) << what;
        for (std::size_t i = 0; i < ours.video.size(); ++i) {
            EXPECT_EQ(ours.video[i].bytes.size(), theirs.video[i].bytes.size())
                << what << " frame " << i;
            EXPECT_TRUE(ours.video[i].bytes == theirs.video[i].bytes) << what << " frame " << i;
            EXPECT_EQ(ours.video[i].key, theirs.video[i].key) << what << " frame " << i;
        }
        EXPECT_EQ(ours.audio.size(), theirs.audio.size()) << what;
        EXPECT_TRUE(ours.audio == theirs.audio) << what;
        std::cout << "[ type 0 ] " << what << ": " << ours.video.size() << " video frames and "
                  << ours.audio.size() << " audio bytes as libavformat reads them\n";
    }

    static std::unique_ptr<TempFolder> s_folder;
};

std::unique_ptr<TempFolder> ForeignFiles::s_folder;

TEST_F(ForeignFiles, EveryVideoFrameAndTheAudioBytesAgreeWithLibavformat) {
    for (const Writer& writer : writers()) {
        expectSameReading(file(writer.name), writer.name);
    }
}

TEST_F(ForeignFiles, TheSecondVideoStreamIsReadWhenAskedFor) {
    expectSameReading(file("ffmpeg-two-video"), "ffmpeg-two-video, second video stream", 1);
    CAviParser parser;
    _TAG_STREAM_INFO info{};
    EXPECT_EQ(parser.GetStreamInfo(file("ffmpeg-two-video"), &info, 2), 0); // there is no third
    ASSERT_EQ(parser.OpenStream(file("ffmpeg-two-video"), 1), 1);
    ASSERT_EQ(parser.OpenVideoStream(1), 1);
    avi::BitmapInfoHeader bih{};
    parser.SetStreamPosVideo(0);
    ASSERT_EQ(parser.GetVideoHeader(&bih, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(bih.biWidth, 96);
    EXPECT_EQ(bih.biHeight, 64);
}

TEST_F(ForeignFiles, ACopyCutShortGivesEveryWholeFrameBeforeTheCut) {
    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    for (const char* name : {"ffmpeg-h264-mulaw", "gst-h264-mulaw", "ffmpeg-hevc-s16le"}) {
        const auto whole = std::filesystem::file_size(file(name));
        const auto cut =
            std::uniform_int_distribution<std::size_t>(whole * 3 / 10, whole * 9 / 10)(random);
        const std::string path = file(std::string(name) + "-cut");
        writePrefix(file(name), path, cut);
        const std::string what = std::string(name) + " cut at " + std::to_string(cut) + " of " +
                                 std::to_string(whole) + " (seed " + std::to_string(seed) + ")";
        expectSameReading(path, what);

        // The frames of the cut copy are the first frames of the whole file, and fewer.
        CAviParser parser;
        const Reading full = parserReading(parser, file(name));
        const Reading part = parserReading(parser, path);
        ASSERT_LT(part.video.size(), full.video.size()) << what;
        for (std::size_t i = 0; i < part.video.size(); ++i) {
            EXPECT_TRUE(part.video[i].bytes == full.video[i].bytes) << what << " frame " << i;
        }
        EXPECT_EQ(full.audio.compare(0, part.audio.size(), part.audio), 0) << what;
    }
}

TEST_F(ForeignFiles, AudioFiguresAreTheStreamsOwn) {
    for (const char* name :
         {"ffmpeg-h264-mulaw", "ffmpeg-hevc-s16le", "ffmpeg-h264-adpcm", "gst-h264-mulaw"}) {
        CAviParser parser;
        _TAG_STREAM_INFO info{};
        ASSERT_EQ(parser.GetStreamInfo(file(name), &info, 0), 1) << name;
        EXPECT_EQ(info.fccAudioHandler, statedAudioHandler(file(name))) << name;
        EXPECT_NE(info.fccAudioHandler, avi::fourCC("WAVE")) << name; // neither muxer writes it
        // Bytes per second, applied to all the audio bytes, give the length of the sound: 2 s
        // (ffmpeg) or 20 buffers of 100 ms (GStreamer).
        const Reading reading = libavformatReading(file(name));
        ASSERT_GT(info.dwAudioBytesPerSec, 0U) << name;
        const auto ms =
            static_cast<std::int64_t>(reading.audio.size()) * 1000 / info.dwAudioBytesPerSec;
        EXPECT_NEAR(static_cast<double>(ms), 2000.0, 100.0)
            << name << " bytes per second " << info.dwAudioBytesPerSec;
    }
}

TEST_F(ForeignFiles, AdpcmBlocksAreTimedByTheirByteRate) {
    CAviParser parser;
    ASSERT_EQ(parser.OpenStream(file("ffmpeg-h264-adpcm"), 0), 1);
    ASSERT_EQ(parser.OpenVideoStream(0), 1);
    ASSERT_EQ(parser.OpenAudioStream(), 1);
    EXPECT_EQ(parser.GetAudioFormat(), 0x11); // IMA ADPCM
    // Frame 15 plays at 1 s; the block that goes with it starts within one block of 1 s.
    const int block = parser.GetStreamPosVideoToAudio(15);
    ASSERT_GT(block, 0);
    parser.SetStreamPosAudio(block);
    std::int64_t time = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(parser.GetAudioHeader(nullptr, &time, &size), 1);
    _TAG_STREAM_INFO info{};
    ASSERT_EQ(parser.GetStreamInfo(file("ffmpeg-h264-adpcm"), &info, 0), 1);
    const std::int64_t blockMs =
        static_cast<std::int64_t>(info.dwAudioBlockSize) * 1000 / info.dwAudioBytesPerSec;
    EXPECT_LE(time, 1000);
    EXPECT_GT(time, 1000 - blockMs - 1);
}

TEST_F(ForeignFiles, GetDurationTellsAFileThatCannotBeOpenedFromOneWithoutVideo) {
    CAviParser parser;
    const TempFolder folder;
    const auto text = folder.write("notes.avi", std::string(4096, 'x'));
    EXPECT_EQ(parser.GetDuration(text.string()), 0xFFFFFFFF8004406FULL);
    EXPECT_EQ(parser.GetDuration((folder.path() / "missing.avi").string()), 0xFFFFFFFF8004406FULL);
    EXPECT_EQ(parser.GetDuration(file("ffmpeg-h264-mulaw")), 2000U);

    // An AVI file with only a sound stream opens but has no duration.
    const std::string soundOnly = (folder.path() / "sound.avi").string();
    ASSERT_TRUE(
        run("ffmpeg -v error -y -f lavfi -i sine=sample_rate=8000 -t 1 -c:a pcm_mulaw -f avi '" +
            soundOnly + "'"));
    EXPECT_EQ(parser.GetDuration(soundOnly), 0U);
}

// Audio chunks of different sizes: block n is the audio from byte n x block size on, whatever
// chunk holds it, and the blocks together are every byte once.
TEST(CAviParser, AudioBlocksFollowTheBytesAcrossChunksOfAnySize) {
    const TempFolder folder;
    const std::string path = (folder.path() / "chunks.avi").string();
    tachy::AviFileWriter writer;
    ASSERT_TRUE(writer.open(path));
    avi::AviStreamHeader video{};
    video.fccType = avi::kVids;
    video.fccHandler = avi::fourCC("H264");
    video.dwScale = 1;
    video.dwRate = 10;
    avi::BitmapInfoHeader bitmap{sizeof bitmap, 64, 48, 1, 24, avi::fourCC("H264"), 0, 0, 0, 0, 0};
    avi::AviStreamHeader sound{};
    sound.fccType = avi::kAuds;
    sound.fccHandler = avi::fourCC("WAVE");
    sound.dwScale = 1;
    sound.dwRate = 8000;
    sound.dwSampleSize = 1;
    const avi::WaveFormatEx format{7, 1, 8000, 8000, 1, 8, 0};
    ASSERT_EQ(writer.addStream(video, &bitmap, sizeof bitmap), 0);
    ASSERT_EQ(writer.addStream(sound, &format, sizeof format), 1);
    const std::string frame = std::string("\0\0\0\1\x65", 5) + std::string(50, '\x11');
    std::string bytes;
    for (const std::size_t size : {300U, 1000U, 500U, 1000U, 200U, 999U}) {
        const std::string chunk = [&] {
            std::string text;
            for (std::size_t i = 0; i < size; ++i) {
                text.push_back(static_cast<char>((bytes.size() + i) * 7 % 251));
            }
            return text;
        }();
        ASSERT_TRUE(
            writer.write(0, writer.nextSample(0), frame.data(), frame.size(), avi::kIndexKeyFrame));
        ASSERT_TRUE(writer.write(1, 0, chunk.data(), chunk.size(), 0));
        bytes += chunk;
    }
    ASSERT_TRUE(writer.close());

    CAviParser parser;
    ASSERT_EQ(parser.OpenStream(path, 0), 1);
    ASSERT_EQ(parser.OpenAudioStream(), 1);
    std::string read;
    std::uint32_t size = 0;
    std::int64_t time = 0;
    for (int block = 0; parser.GetAudioHeader(nullptr, &time, &size) == 1; ++block) {
        EXPECT_EQ(time, block * 1000 * 1000 / 8000)
            << "block " << block; // 1000 bytes at 8000 a second
        if (read.size() + 1000 < bytes.size()) {
            EXPECT_EQ(size, 1000U) << "block " << block;
        }
        read.append(reinterpret_cast<const char*>(parser.GetAudioStream(0)), size);
    }
    EXPECT_EQ(read.size(), bytes.size());
    EXPECT_TRUE(read == bytes);
}
