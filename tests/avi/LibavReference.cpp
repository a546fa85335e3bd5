#include "tests/avi/LibavReference.h"

#include <memory>

extern "C" {
#include <libavformat/avformat.h>
}

namespace tachy::test {

namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// The stream of that type: the `nth` of its kind, or -1.
int nthStream(const AVFormatContext& context, AVMediaType type, int nth) {
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        if (context.streams[i]->codecpar->codec_type == type && nth-- == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

ReferenceRead libavformatRead(const std::string& path, int videoIndex) {
    ReferenceRead read;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), av_find_input_format("avi"), nullptr) != 0) {
        return read;
    }
    const std::unique_ptr<AVFormatContext, InputCloser> context(raw);
    read.opened = true;
    const int video = nthStream(*context, AVMEDIA_TYPE_VIDEO, videoIndex);
    const int audio = nthStream(*context, AVMEDIA_TYPE_AUDIO, 0);
    const std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    while (av_read_frame(context.get(), packet.get()) >= 0) {
        const AVStream* stream = context->streams[packet->stream_index];
        if (packet->stream_index == video) {
            const std::int64_t stamp = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            ReferenceFrame frame;
            frame.bytes.assign(reinterpret_cast<const char*>(packet->data),
                               static_cast<std::size_t>(packet->size));
            frame.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
            frame.timeMs = av_rescale_q_rnd(stamp, stream->time_base, AVRational{1, 1000}, AV_ROUND_DOWN);
            read.video.push_back(std::move(frame));
            read.lastVideoPosition = packet->pos;
        } else if (packet->stream_index == audio) {
            read.audioBytes += static_cast<std::uint64_t>(packet->size);
        }
        av_packet_unref(packet.get());
    }
    return read;
}

} // namespace tachy::test
