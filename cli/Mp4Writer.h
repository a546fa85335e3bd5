#pragma once
// Writes an MP4 file through libavformat's mp4 muxer (moov first, "faststart"): H.264 pictures
// (libx264, else another H.264 encoder the library has) in YUV 4:2:0 with millisecond time
// stamps, and optionally AAC sound taken in any sample format and cut into the encoder's frames.
// The sound is kept on the pictures' clock: where it has a gap (a recording without sound, a
// missing file, sound shorter than its pictures) silence fills it, sound that overlaps what is
// already written is cut, and at the end silence reaches the last picture's end.

#include "cli/LibavHandles.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tachy::cli {

struct Mp4Format {
    int width = 0;
    int height = 0;
    int framesPerSecond = 30; // a hint for the encoder's rate control
    int soundRate = 0;        // 0: no sound
    int soundChannels = 0;
};

class Mp4Writer {
public:
    bool Open(const std::filesystem::path& file, const Mp4Format& format, std::string& error);
    // A picture shown from `timeMs` (ms since the export's start) on.
    bool WritePicture(AVFrame& picture, std::int64_t timeMs);
    // `count` samples of decoded sound from sample `first` on; the frame's first sample is heard
    // at `timeMs` (ms since the export's start, negative before it). Sound of another sample
    // rate than the file's is left out (silence in its place).
    bool WriteSound(const AVFrame& sound, std::int64_t timeMs, int first, int count);
    // Drains the encoders and writes the index; false when the file could not be completed.
    bool Close(std::string& error);

private:
    bool OpenVideo(const Mp4Format& format, std::string& error);
    bool OpenSound(const Mp4Format& format, std::string& error);
    bool Encode(AVCodecContext& encoder, AVStream& stream, const AVFrame* frame);
    bool EncodeSoundFifo(bool all);
    // Silence up to sample `position` of the sound.
    bool WriteSilenceUntil(std::int64_t position);
    bool AppendSound(const AVFrame& sound, int first, int count);
    std::int64_t SoundWritten() const;

    OutputHandle m_output;
    CodecContextHandle m_video;
    CodecContextHandle m_sound;
    AVStream* m_videoStream = nullptr;
    AVStream* m_soundStream = nullptr;
    AudioFifoHandle m_fifo;
    FrameHandle m_soundFrame;
    PacketHandle m_packet;
    std::int64_t m_soundSamples = 0;
    std::int64_t m_lastPictureMs = -1;
    int m_pictureDurationMs = 33;
    bool m_failed = false;
};

} // namespace tachy::cli
