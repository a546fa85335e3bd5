#include "cli/ClipBuilder.h"

#include "cli/CodecName.h"
#include "cli/Progress.h"
#include "util/avi/AviErrors.h"

#include <cstring>

namespace tachy::cli {
namespace {

template <typename T> T FormatOf(const util::ParsedAviStream& stream) {
    T format{};
    std::memcpy(&format, stream.formatBytes.data(),
                std::min(sizeof format, stream.formatBytes.size()));
    return format;
}

double Rate(const util::ParsedAviStream& stream) {
    return stream.header.dwScale == 0
               ? 0
               : static_cast<double>(stream.header.dwRate) / stream.header.dwScale;
}

// The clip writer's audio type of a WAVE format tag; -1 for one it cannot write.
int AudioType(std::uint16_t tag) {
    return tag == 1 ? 0 : tag == 7 ? 1 : tag == 6 ? 2 : -1;
}

} // namespace

bool ClipBuilder::CopySample(const util::ParsedAviFile& parsed, const util::ParsedAviStream& stream,
                             std::uint32_t index, std::vector<std::uint8_t>& buffer) const {
    const std::int64_t sample = static_cast<std::int64_t>(stream.start()) + index;
    const std::int64_t length = parsed.readSample(stream, sample, nullptr, 0);
    if (length < 0) {
        return false;
    }
    buffer.resize(static_cast<std::size_t>(length));
    return length == 0 || parsed.readSample(stream, sample, buffer.data(), buffer.size()) == length;
}

bool ClipBuilder::OpenStreams(const Opened& first, std::string& error) {
    m_format = FormatOf<tachy::avi::BitmapInfoHeader>(*first.video);
    const std::string codec = CodecName(m_format.biCompression);
    if (codec != "H264" && codec != "HEVC") {
        error = "the clip writer copies H264 and HEVC, not " + codec;
        return false;
    }
    const double fps = Rate(*first.video);
    bool ok = m_writer.OpenVideoStream(codec == "H264" ? 5 : 7, fps, m_format.biWidth,
                                       std::abs(m_format.biHeight), 0, 0) != 0;
    if (ok && first.user != nullptr) {
        m_withUser = m_writer.OpenUserStream(fps, static_cast<int>(first.user->largestChunk),
                                             first.user->formatBytes.data(),
                                             static_cast<int>(first.user->formatBytes.size())) != 0;
        ok = m_withUser;
    }
    if (ok && first.audio != nullptr) {
        const auto wave = FormatOf<tachy::avi::WaveFormatEx>(*first.audio);
        const int type = AudioType(wave.wFormatTag);
        if (type >= 0) {
            m_withAudio = m_writer.OpenAudioStream(
                              type, wave.wBitsPerSample, static_cast<int>(wave.nSamplesPerSec),
                              wave.nChannels, static_cast<int>(first.audio->largestChunk)) != 0;
            ok = m_withAudio;
        }
    }
    if (!ok) {
        error = "the clip's streams could not be opened";
    }
    return ok;
}

bool ClipBuilder::Fits(const Opened& source, std::string& error) const {
    const auto format = FormatOf<tachy::avi::BitmapInfoHeader>(*source.video);
    if (CodecName(format.biCompression) != CodecName(m_format.biCompression) ||
        format.biWidth != m_format.biWidth ||
        std::abs(format.biHeight) != std::abs(m_format.biHeight)) {
        error = "the recordings of the span differ in codec or picture size";
        return false;
    }
    return true;
}

std::uint32_t ClipBuilder::FirstFrame(const Opened& source, std::int64_t fromMs) {
    std::uint32_t first = 0;
    for (std::uint32_t i = 0; i < source.video->length(); ++i) {
        if (source.startMs + source.video->sampleToTime(i) > fromMs) {
            break;
        }
        if ((source.video->index[i].dwFlags & tachy::avi::kIndexKeyFrame) != 0) {
            first = i;
        }
    }
    return first;
}

bool ClipBuilder::CopyAudioUntil(const Opened& source, std::int64_t untilMs, std::size_t& next,
                                 std::uint64_t& bytesBefore) {
    if (!m_withAudio || source.audio == nullptr) {
        return true;
    }
    const auto wave = FormatOf<tachy::avi::WaveFormatEx>(*source.audio);
    if (wave.nAvgBytesPerSec == 0) {
        return true;
    }
    std::vector<std::uint8_t> chunk;
    while (next < source.audio->index.size()) {
        const std::int64_t at =
            source.startMs + static_cast<std::int64_t>(bytesBefore * 1000 / wave.nAvgBytesPerSec);
        if (at >= untilMs) {
            break;
        }
        bytesBefore += source.audio->index[next].dwChunkLength;
        if (at >= m_audioFromMs) {
            if (!CopySample(source.parsed, *source.audio, static_cast<std::uint32_t>(next),
                            chunk) ||
                m_writer.WriteAudio(chunk.data(), static_cast<int>(chunk.size())) == 0) {
                return false;
            }
        }
        ++next;
    }
    return true;
}

bool ClipBuilder::PrependCodecHeader(const Opened& source, std::vector<std::uint8_t>& frame) const {
    const auto codec =
        util::NalUnits::codecOf(m_format.biCompression, source.video->header.fccHandler);
    if (util::NalUnits::carriesParameterSets(frame.data(), frame.size(), codec)) {
        return true;
    }
    std::vector<std::uint8_t> first;
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!CopySample(source.parsed, *source.video, 0, first) ||
        !util::NalUnits::findCodecHeader(first.data(), first.size(), first.size(), codec, begin,
                                         end)) {
        return false;
    }
    frame.insert(frame.begin(), first.begin() + static_cast<std::ptrdiff_t>(begin),
                 first.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

bool ClipBuilder::CopyFrames(const Opened& source, std::uint32_t first, std::int64_t toMs,
                             std::string& error) {
    std::vector<std::uint8_t> frame;
    std::vector<std::uint8_t> record;
    std::size_t nextAudio = 0;
    std::uint64_t audioBytes = 0;
    const std::int64_t frameMs = source.video->sampleToTime(1);
    for (std::uint32_t i = first; i < source.video->length(); ++i) {
        const std::int64_t at = source.startMs + source.video->sampleToTime(i);
        if (at >= toMs) {
            break;
        }
        if (m_firstMs < 0) {
            m_firstMs = at;
            m_audioFromMs = at;
        }
        if (m_withUser && source.user != nullptr && i < source.user->length()) {
            if (!CopySample(source.parsed, *source.user, i, record) ||
                m_writer.WriteUserData(record.data(), static_cast<int>(record.size()), 0) == 0) {
                error = "cannot copy the driving data of " + source.name;
                return false;
            }
        }
        const bool key = (source.video->index[i].dwFlags & tachy::avi::kIndexKeyFrame) != 0;
        // A key frame inside a recording carries no parameter sets: the file's first frame's go
        // before it, so that the clip decodes from its first frame.
        if (!CopySample(source.parsed, *source.video, i, frame) ||
            (i == first && !PrependCodecHeader(source, frame)) ||
            m_writer.WriteVideo(frame.data(), static_cast<int>(frame.size()), key ? 1 : 0) == 0) {
            error = "cannot copy frame " + std::to_string(i) + " of " + source.name;
            return false;
        }
        ++m_frames;
        if (!CopyAudioUntil(source, at + frameMs, nextAudio, audioBytes)) {
            error = "cannot copy the sound of " + source.name;
            return false;
        }
        if (m_observer && !m_observer(at - m_fromMs, m_toMs - m_fromMs)) {
            m_stopped = true;
            error = "the copy was stopped";
            return false;
        }
    }
    return true;
}

bool ClipBuilder::Build(const std::vector<ClipSource>& sources, std::int64_t fromMs,
                        std::int64_t toMs, const std::filesystem::path& output,
                        std::string& error) {
    m_fromMs = fromMs;
    m_toMs = toMs;
    if (m_writer.Open(output.string()) == 0) {
        error = "cannot create " + output.string();
        return false;
    }
    for (const ClipSource& source : sources) {
        Opened opened;
        if (opened.parsed.open(source.file) != util::kAviOk ||
            (opened.video = opened.parsed.findStream(tachy::avi::kVids, source.videoStream)) ==
                nullptr) {
            error = "cannot read " + source.file.string();
            return false;
        }
        opened.audio = opened.parsed.findStream(tachy::avi::kAuds);
        opened.user = opened.parsed.findStream(tachy::avi::kTxts);
        opened.startMs = source.startMs;
        opened.name = source.file.string();
        if (!m_opened && !OpenStreams(opened, error)) {
            return false;
        }
        m_opened = true;
        if (!Fits(opened, error)) {
            return false;
        }
        const std::uint32_t first = m_frames == 0 ? FirstFrame(opened, fromMs) : 0;
        if (!CopyFrames(opened, first, toMs, error)) {
            return false;
        }
        if (m_progress != nullptr) {
            m_progress->Step(static_cast<int>(sources.size()));
        }
    }
    if (m_frames == 0) {
        error = "the span holds no frame";
        return false;
    }
    if (m_writer.Close() == 0) {
        error = "cannot complete " + output.string();
        return false;
    }
    return true;
}

} // namespace tachy::cli
