// Our RIFF parser against libavformat on the same files: the same frames, sizes, key flags
// and times. Our parser adds the codec header in front of key frames that lack it; that is
// accounted for.

#include "util/avi/CAviParser.h"
#include "util/avi/CAviParser2.h"

#include "tests/avi/ClipFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <memory>

extern "C" {
#include <libavformat/avformat.h>
}

using tachy::test::ClipOptions;

namespace {

struct Packet {
    std::size_t size;
    bool key;
    std::int64_t timeMs;
};

// The video packets libavformat reads, in order.
std::vector<Packet> libavformatVideo(const std::string& path, std::size_t skip) {
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "skip_initial_bytes", static_cast<std::int64_t>(skip), 0);
    AVFormatContext* context = nullptr;
    const int opened = avformat_open_input(&context, path.c_str(), av_find_input_format("avi"), &options);
    av_dict_free(&options);
    EXPECT_EQ(opened, 0);
    if (opened != 0) {
        return {};
    }
    std::vector<Packet> packets;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(context, packet) >= 0) {
        const AVStream* stream = context->streams[packet->stream_index];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            // Times are truncated to whole milliseconds, as the recording parser gives them.
            const std::int64_t ms = av_rescale_q_rnd(
                packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts, stream->time_base,
                AVRational{1, 1000}, AV_ROUND_DOWN);
            packets.push_back({static_cast<std::size_t>(packet->size),
                               (packet->flags & AV_PKT_FLAG_KEY) != 0, ms});
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&context);
    return packets;
}

std::vector<Packet> parserVideo(IAVIParser& parser, const std::string& path, std::size_t headerSize,
                                bool addsHeader) {
    EXPECT_EQ(parser.OpenStream(path, 0), 1);
    EXPECT_EQ(parser.OpenVideoStream(0), 1);
    parser.SetStreamPosVideo(0);
    std::vector<Packet> frames;
    tachy::avi::BitmapInfoHeader bih{};
    std::int64_t time = 0;
    int key = 0;
    while (parser.GetVideoHeader(&bih, &time, &key, nullptr) == 1) {
        const std::uint8_t* bytes = parser.GetVideoStream(0);
        std::size_t size = bih.biSizeImage;
        // Take back the header the parser put in front, to compare with the stored frame.
        if (addsHeader && key == 1 && !frames.empty() && size > headerSize && bytes[4] == 0x67) {
            size -= headerSize;
        }
        frames.push_back({size, key == 1, time});
    }
    parser.CloseStream();
    return frames;
}

void expectSame(const std::vector<Packet>& ours, const std::vector<Packet>& theirs, const char* what) {
    ASSERT_EQ(ours.size(), theirs.size()) << what;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        EXPECT_EQ(ours[i].size, theirs[i].size) << what << " frame " << i;
        EXPECT_EQ(ours[i].key, theirs[i].key) << what << " frame " << i;
        EXPECT_EQ(ours[i].timeMs, theirs[i].timeMs) << what << " frame " << i;
    }
}

} // namespace

class Differential : public testing::TestWithParam<ClipOptions> {};

namespace {

std::string clipName(const testing::TestParamInfo<ClipOptions>& param) {
    static const char* const kNames[] = {"Indexed",     "WithoutIdx1", "AbsoluteIdx1",
                                         "Preamble100", "TenSeconds",  "VideoOnly"};
    return kNames[param.index];
}

} // namespace

TEST_P(Differential, ParsersAndLibavformatAgreeOnEveryVideoFrame) {
    const tachy::test::TempFolder folder;
    const std::string path = (folder.path() / "clip.avi").string();
    ASSERT_TRUE(tachy::test::writeClip(path, GetParam()));
    const auto theirs = libavformatVideo(path, GetParam().preamble);
    ASSERT_EQ(theirs.size(), static_cast<std::size_t>(GetParam().frames));

    CAviParser2 riff;
    const std::size_t header = tachy::test::sps().size() + tachy::test::pps().size() + 1;
    expectSame(parserVideo(riff, path, header, true), theirs, "type 1");
    if (GetParam().preamble == 0 && GetParam().index) {
        CAviParser system;
        expectSame(parserVideo(system, path, header, false), theirs, "type 0");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clips, Differential,
    testing::Values(ClipOptions{}, ClipOptions{.index = false}, ClipOptions{.absoluteIndex = true},
                    ClipOptions{.preamble = 100}, ClipOptions{.frames = 301, .keyInterval = 30},
                    ClipOptions{.audio = false, .userData = false}),
    clipName);

TEST(CAviParser, ReadsTheRecordOfEachFrameWithIt) {
    const tachy::test::TempFolder folder;
    const std::string path = (folder.path() / "clip.avi").string();
    ASSERT_TRUE(tachy::test::writeClip(path));
    CAviParser parser;
    ASSERT_EQ(parser.OpenStream(path, 0), 1);
    ASSERT_EQ(parser.OpenVideoStream(0), 1);
    ASSERT_EQ(parser.OpenUserStream(), 1);
    parser.SetStreamPosVideo(7);
    ASSERT_EQ(parser.GetVideoHeader(nullptr, nullptr, nullptr, nullptr), 1);
    std::uint32_t size = 0;
    const std::uint8_t* record = parser.GetUserData(&size);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record), size), tachy::test::drivingRecord(7));
    EXPECT_EQ(parser.GetCurrentUserDataPos(), 7);
    ASSERT_EQ(parser.ReadUserStreamInAdvance(), 1);
    EXPECT_EQ(parser.GetUserDataSizeAll(), 72U * 45U);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parser.GetUserDataAll()) + 72 * 44, 72),
              tachy::test::drivingRecord(44));
    ASSERT_EQ(parser.OpenAudioStream(), 1);
    parser.SetStreamPosAudio(parser.GetStreamPosVideoToAudio(30));
    std::int64_t time = 0;
    ASSERT_EQ(parser.GetAudioHeader(nullptr, &time, &size), 1);
    EXPECT_EQ(time, 1000);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parser.GetAudioStream(0)), size),
              tachy::test::audioChunk(10));
    EXPECT_EQ(parser.GetDuration(path), 1500U);
}
