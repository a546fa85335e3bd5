#include "tools/mkcard/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace mkcard {
namespace {

struct Nal {
    const std::uint8_t* data;
    std::size_t size;
};

// Splits an Annex B buffer at its 3- or 4-byte start codes.
std::vector<Nal> splitNals(const std::uint8_t* data, std::size_t size) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i + 3 <= size; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            starts.push_back(i + 3);
            i += 2;
        }
    }
    std::vector<Nal> nals;
    for (std::size_t n = 0; n < starts.size(); ++n) {
        std::size_t end = n + 1 < starts.size() ? starts[n + 1] - 3 : size;
        while (end > starts[n] && data[end - 1] == 0) {
            --end;  // the zero that made the next start code four bytes long
        }
        nals.push_back({data + starts[n], end - starts[n]});
    }
    return nals;
}

} // namespace

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() {
    // Drain the encoder before closing it: x265 frees the pictures it still holds only then.
    if (m_context != nullptr && m_packet != nullptr && avcodec_send_frame(m_context, nullptr) >= 0) {
        while (avcodec_receive_packet(m_context, m_packet) >= 0) {
            av_packet_unref(m_packet);
        }
    }
    av_packet_free(&m_packet);
    av_frame_free(&m_picture);
    avcodec_free_context(&m_context);
}

bool VideoEncoder::open(Codec codec, int width, int height, int framesPerSecond, int keyInterval,
                        std::string& error) {
    m_codec = codec;
    av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are not wanted on stderr
    const char* name = codec == Codec::H264 ? "libx264" : "libx265";
    const AVCodec* encoder = avcodec_find_encoder_by_name(name);
    if (encoder == nullptr) {
        error = std::string("libavcodec has no ") + name + " encoder";
        return false;
    }
    m_context = avcodec_alloc_context3(encoder);
    m_context->width = width;
    m_context->height = height;
    m_context->pix_fmt = AV_PIX_FMT_YUV420P;
    m_context->time_base = AVRational{1, framesPerSecond};
    m_context->framerate = AVRational{framesPerSecond, 1};
    m_context->gop_size = keyInterval;
    m_context->max_b_frames = 0;
    m_context->thread_count = 1;
    if (m_bitRate > 0) {
        m_context->bit_rate = m_bitRate;
        m_context->rc_max_rate = m_bitRate;
        m_context->rc_buffer_size = static_cast<int>(m_bitRate);
    }
    av_opt_set(m_context->priv_data, "preset", m_bitRate > 0 ? "superfast" : "ultrafast", 0);
    av_opt_set(m_context->priv_data, "tune", "zerolatency", 0);
    if (codec == Codec::H264) {
        av_opt_set(m_context->priv_data, "x264-params",
                   ("keyint=" + std::to_string(keyInterval) + ":min-keyint=" + std::to_string(keyInterval) +
                    ":scenecut=0:bframes=0:aud=0").c_str(), 0);
    } else {
        av_opt_set(m_context->priv_data, "x265-params",
                   ("log-level=error:keyint=" + std::to_string(keyInterval) + ":min-keyint=" +
                    std::to_string(keyInterval) + ":scenecut=0:bframes=0:info=0:pools=none:frame-threads=1").c_str(), 0);
    }
    if (avcodec_open2(m_context, encoder, nullptr) < 0) {
        error = std::string("cannot open ") + name;
        return false;
    }
    m_picture = av_frame_alloc();
    m_picture->format = AV_PIX_FMT_YUV420P;
    m_picture->width = width;
    m_picture->height = height;
    m_packet = av_packet_alloc();
    if (av_frame_get_buffer(m_picture, 0) < 0) {
        error = "cannot allocate a picture";
        return false;
    }
    return true;
}

bool VideoEncoder::encode(std::int64_t index, bool startOfFile, Frame& out) {
    if (av_frame_make_writable(m_picture) < 0) {
        return false;
    }
    m_picture->pts = index;
    // A file starts with a key frame.
    m_picture->pict_type = startOfFile ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    m_picture->key_frame = startOfFile ? 1 : 0;
    if (avcodec_send_frame(m_context, m_picture) < 0 ||
        avcodec_receive_packet(m_context, m_packet) < 0) {
        return false;  // zerolatency and no B-frames: one packet per picture
    }
    normalize(*m_packet, startOfFile, out);
    av_packet_unref(m_packet);
    return true;
}

void VideoEncoder::normalize(const AVPacket& packet, bool startOfFile, Frame& out) const {
    out.bytes.clear();
    out.key = (packet.flags & AV_PKT_FLAG_KEY) != 0;
    for (const Nal& nal : splitNals(packet.data, static_cast<std::size_t>(packet.size))) {
        if (nal.size == 0) {
            continue;
        }
        bool parameterSet = false;
        bool sei = false;
        if (m_codec == Codec::H264) {
            const int type = nal.data[0] & 0x1F;
            parameterSet = type == 7 || type == 8;
            sei = type == 6;
        } else {
            const int type = (nal.data[0] >> 1) & 0x3F;
            parameterSet = type >= 32 && type <= 34;
            sei = type == 39 || type == 40;
        }
        if (sei || (parameterSet && !startOfFile)) {
            continue;
        }
        out.bytes.insert(out.bytes.end(), {0, 0, 0, 1});
        out.bytes.insert(out.bytes.end(), nal.data, nal.data + nal.size);
    }
}

} // namespace mkcard
