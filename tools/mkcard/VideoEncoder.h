#pragma once
// Encodes pictures to H.264 (libx264) or HEVC (libx265) through libavcodec and hands out each
// frame as the recorder writes it: Annex B with 4-byte start codes, no SEI, no B-frames, and
// the parameter sets only in front of the file's first frame.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace mkcard {

class VideoEncoder {
public:
    enum class Codec { H264, Hevc };

    struct Frame {
        std::vector<std::uint8_t> bytes;
        bool key = false;
    };

    VideoEncoder();
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Before open: encode at about this many bits per second, with a one-second buffer, as a
    // recorder's encoder does, and with the tools its pictures use (CABAC, deblocking, sub-pixel
    // motion). Without it the encoder works at constant quality with its fastest settings.
    void setBitRate(std::int64_t bitsPerSecond) { m_bitRate = bitsPerSecond; }
    // False (with a message in `error`) when the encoder cannot be opened.
    bool open(Codec codec, int width, int height, int framesPerSecond, int keyInterval,
              std::string& error);
    // The YUV 4:2:0 planes of the next picture to fill.
    AVFrame* picture() { return m_picture; }
    // Encodes the picture; false on an encoder error. `startOfFile` keeps the parameter sets.
    bool encode(std::int64_t index, bool startOfFile, Frame& out);

private:
    void normalize(const AVPacket& packet, bool startOfFile, Frame& out) const;

    Codec m_codec = Codec::H264;
    std::int64_t m_bitRate = 0;           // 0: constant quality
    AVCodecContext* m_context = nullptr;  // owned
    AVFrame* m_picture = nullptr;         // owned
    AVPacket* m_packet = nullptr;         // owned
};

} // namespace mkcard
