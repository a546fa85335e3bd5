#pragma once
// Copies a span of one camera's recordings into one AVI with the clip writer, without
// re-encoding: from the last key frame at or before the span's start to its end, across as
// many recordings as it covers, with the sound and the driving data that belong to the frames
// copied (a driving-data record per frame, sound chunks in their place on the video clock).

#include "util/avi/CAviWriter.h"
#include "util/avi/ParsedAviFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tachy::cli {

class Progress;

struct ClipSource {
    std::filesystem::path file;
    std::int64_t startMs = 0; // UTC of the file's first frame
    int videoStream = 0;      // which video stream: files that hold every camera hold several
};

class ClipBuilder {
public:
    // Writes the frames of `sources` (in time order) from the key frame at or before `fromMs`
    // up to `toMs`. False, with `error` set, when nothing could be copied or the recordings do
    // not fit together (another codec or picture size).
    bool Build(const std::vector<ClipSource>& sources, std::int64_t fromMs, std::int64_t toMs,
               const std::filesystem::path& output, std::string& error);

    // Counts each recording copied (borrowed; may be null).
    void SetProgress(Progress* progress) { m_progress = progress; }
    // Told after each frame copied how far the copy is (milliseconds of the span done and in
    // all); answering false stops the copy, which then fails with `Stopped()` true.
    using Observer = std::function<bool(std::int64_t doneMs, std::int64_t totalMs)>;
    void SetObserver(Observer observer) { m_observer = std::move(observer); }
    bool Stopped() const { return m_stopped; }

    int Frames() const { return m_frames; }
    std::int64_t FirstFrameMs() const { return m_firstMs; }

private:
    struct Opened {
        util::ParsedAviFile parsed;
        const util::ParsedAviStream* video = nullptr;
        const util::ParsedAviStream* audio = nullptr;
        const util::ParsedAviStream* user = nullptr;
        std::int64_t startMs = 0;
        std::string name;
    };

    bool OpenStreams(const Opened& first, std::string& error);
    bool Fits(const Opened& source, std::string& error) const;
    // The first frame to copy in a source: its key frame at or before `fromMs` (0 when none is).
    static std::uint32_t FirstFrame(const Opened& source, std::int64_t fromMs);
    bool PrependCodecHeader(const Opened& source, std::vector<std::uint8_t>& frame) const;
    bool CopyFrames(const Opened& source, std::uint32_t first, std::int64_t toMs,
                    std::string& error);
    bool CopyAudioUntil(const Opened& source, std::int64_t untilMs, std::size_t& next,
                        std::uint64_t& bytesBefore);
    bool CopySample(const util::ParsedAviFile& parsed, const util::ParsedAviStream& stream,
                    std::uint32_t index, std::vector<std::uint8_t>& buffer) const;

    CAviWriter m_writer;
    Progress* m_progress = nullptr;
    Observer m_observer;
    bool m_stopped = false;
    std::int64_t m_fromMs = 0;
    std::int64_t m_toMs = 0;
    tachy::avi::BitmapInfoHeader m_format{};
    bool m_opened = false;
    bool m_withAudio = false;
    bool m_withUser = false;
    int m_frames = 0;
    std::int64_t m_firstMs = -1;
    std::int64_t m_audioFromMs = 0; // sound before the first frame copied is left out
};

} // namespace tachy::cli
