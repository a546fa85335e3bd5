#pragma once
// Decodes one camera's recordings of a span in time order, file after file, through
// libavformat and libavcodec: each picture with its time (UTC ms: the file's start by its name
// plus the picture's time stamp), and optionally the camera's sound handed to a sink with the
// time of its first sample.

#include "cli/ClipBuilder.h"
#include "cli/LibavHandles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tachy::cli {

class CameraReader {
public:
    // Sound frames (decoded, any sample format) with the UTC ms of their first sample; answers
    // false to stop the reading with an error.
    using SoundSink = std::function<bool(const AVFrame& sound, std::int64_t timeMs)>;

    explicit CameraReader(std::vector<ClipSource> sources);

    void SetSoundSink(SoundSink sink) { m_soundSink = std::move(sink); }

    // The next picture in `Picture()`; false at the end of the recordings or on an error
    // (`Error()` not empty then).
    bool Next(std::int64_t& timeMs);
    // The last picture at or before `timeMs` (the first picture when all come later); null when
    // the camera has no picture at all.
    const AVFrame* PictureAt(std::int64_t timeMs);

    const AVFrame* Picture() const { return m_havePicture ? m_picture.get() : nullptr; }
    const std::string& Error() const { return m_error; }

private:
    bool OpenNextFile();
    bool OpenDecoder(int streamIndex, CodecContextHandle& decoder);
    bool Decode(AVFrame& frame, std::int64_t& timeMs);
    bool FeedPacket();
    bool DecodeSound();
    std::int64_t TimeOf(std::int64_t stamp, const AVStream& stream) const;

    std::vector<ClipSource> m_sources;
    std::size_t m_next = 0;
    SoundSink m_soundSink;
    InputHandle m_input;
    CodecContextHandle m_video;
    CodecContextHandle m_sound;
    int m_videoIndex = -1;
    int m_soundIndex = -1;
    std::int64_t m_fileStartMs = 0;
    bool m_flushed = false;
    PacketHandle m_packet;
    FrameHandle m_picture;
    FrameHandle m_ahead;
    FrameHandle m_soundFrame;
    bool m_havePicture = false;
    bool m_haveAhead = false;
    bool m_ended = false;
    std::int64_t m_pictureMs = 0;
    std::int64_t m_aheadMs = 0;
    std::string m_error;
};

} // namespace tachy::cli
