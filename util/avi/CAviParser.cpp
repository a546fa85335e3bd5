#include "util/avi/CAviParser.h"
#include "util/avi/MulDiv.h"

#include <algorithm>
#include <cstring>

namespace avi = tachy::avi;

CAviParser::CAviParser()
    : m_videoBuffer(kVideoBufferSize), m_audioBuffer(kAudioBufferSize),
      m_userBuffer(kVideoBufferSize), m_userArea(kUserAreaSize) {}

CAviParser::~CAviParser() = default;

const CAviParser::Stream* CAviParser::Find(avi::FourCC type, int nth) const {
    int seen = 0;
    for (const Stream& stream : m_reader.streams()) {
        if (stream.type == type && seen++ == nth) {
            return &stream;
        }
    }
    return nullptr;
}

std::int64_t CAviParser::SampleToTime(const Stream& stream, std::int64_t sample) {
    return stream.rate == 0 ? -1
                            : tachy::avi::mulDiv(sample, static_cast<std::int64_t>(stream.scale) * 1000,
                                                stream.rate);
}

std::int64_t CAviParser::TimeToSample(const Stream& stream, std::int64_t timeMs) {
    if (stream.scale == 0) {
        return -1;
    }
    const std::int64_t sample =
        tachy::avi::mulDiv(timeMs, stream.rate, static_cast<std::int64_t>(stream.scale) * 1000);
    const auto end = stream.start + static_cast<std::int64_t>(stream.samples.size());
    return sample < stream.start ? -1 : std::min(sample, end);
}

namespace {

// The audio stream's own figures: from its stream header, or, where that could not be read,
// from what libavformat reports (the reduced time base and the block alignment).
struct AudioFigures {
    avi::FourCC handler = 0;
    std::uint32_t scale = 0;
    std::uint32_t rate = 0;
    std::uint32_t sampleSize = 0;
};

AudioFigures audioFigures(const tachy::AviFileReader::Stream& audio) {
    if (audio.header.fccType == avi::kAuds) {
        return {audio.header.fccHandler, audio.header.dwScale, audio.header.dwRate,
                audio.header.dwSampleSize};
    }
    return {0, audio.scale, audio.rate, audio.audio.nBlockAlign};
}

} // namespace

void CAviParser::DescribeAudio(const Stream& audio, _TAG_STREAM_INFO* info) {
    const AudioFigures figures = audioFigures(audio);
    info->fccAudioHandler = figures.handler;
    // A "WAVE" stream states its sample size; any other handler may leave it 0 and mean the
    // format's block alignment.
    std::uint32_t sampleSize = figures.sampleSize;
    if (sampleSize == 0 && figures.handler != avi::fourCC("WAVE")) {
        sampleSize = audio.audio.nBlockAlign;
    }
    if (figures.rate == 0 || figures.scale == 0 || sampleSize == 0) {
        return;
    }
    std::uint32_t largest = 0;
    for (const auto& sample : audio.samples) {
        largest = std::max(largest, sample.size);
    }
    // ADPCM states scale = samples per block and sample size = bytes per block, so the rate
    // alone (samples per second) is not its byte rate.
    const std::uint64_t perSecond =
        static_cast<std::uint64_t>(figures.rate) * sampleSize / figures.scale;
    info->dwAudioLength = static_cast<std::uint32_t>(audio.samples.size());
    info->dwAudioBlockSize = largest;
    info->dwAudioBytesPerSec =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(perSecond, 0xFFFFFFFFU));
}

int CAviParser::Describe(const tachy::AviFileReader& reader, _TAG_STREAM_INFO* info,
                         int videoIndex) {
    const Stream* audio = nullptr;
    const Stream* video = nullptr;
    const Stream* user = nullptr;
    int videos = 0;
    for (const Stream& stream : reader.streams()) {
        if (stream.type == avi::kAuds && audio == nullptr) {
            audio = &stream;
        } else if (stream.type == avi::kVids && videos++ == videoIndex) {
            video = &stream;
        } else if (stream.type == avi::kTxts && user == nullptr) {
            user = &stream;
        }
    }
    if (audio != nullptr) {
        DescribeAudio(*audio, info);
    }
    if (user != nullptr) {
        info->dwUserDataCount = static_cast<std::uint32_t>(user->samples.size());
    }
    if (video == nullptr) {
        return 0;
    }
    const auto length = static_cast<std::int64_t>(video->samples.size());
    info->dwVideoScale = video->scale;
    info->dwVideoRate = video->rate;
    info->dwVideoLength = static_cast<std::uint32_t>(length);
    info->llVideoStartTime = SampleToTime(*video, video->start);
    info->llVideoEndTime = SampleToTime(*video, video->start + length);
    info->llVideoDuration = SampleToTime(*video, length);
    return info->llVideoDuration > 0 && video->scale != 0 && video->rate != 0 && length != 0 ? 1 : 0;
}

int CAviParser::GetStreamInfo(const std::string& path, _TAG_STREAM_INFO* info, int videoIndex) {
    tachy::AviFileReader reader;
    if (info == nullptr || !reader.open(path)) {
        return 0;
    }
    return Describe(reader, info, videoIndex);
}

int CAviParser::isOpen() { return m_reader.isOpen() ? 1 : 0; }
int CAviParser::isVideoOpen() { return m_video != nullptr ? 1 : 0; }
int CAviParser::isAudioOpen() { return m_audio != nullptr ? 1 : 0; }
int CAviParser::isUserOpen() { return m_user != nullptr ? 1 : 0; }

int CAviParser::OpenStream(const std::string& path, int videoIndex) {
    CloseStream();
    const std::uint32_t videoPosition = m_info.dwVideoPos;
    const std::uint32_t audioPosition = m_info.dwAudioPos;
    m_info = {};
    m_info.dwVideoPos = videoPosition;
    m_info.dwAudioPos = audioPosition;
    if (!m_reader.open(path) || Describe(m_reader, &m_info, videoIndex) == 0) {
        CloseStream();
        return 0;
    }
    return 1;
}

int CAviParser::OpenVideoStream(int videoIndex) {
    m_video = isOpen() != 0 ? Find(avi::kVids, videoIndex) : nullptr;
    if (m_video == nullptr) {
        return 0;
    }
    // Frames are handed out whole: the buffer grows once to the largest of this file.
    std::size_t largest = kVideoBufferSize;
    for (const auto& sample : m_video->samples) {
        largest = std::max<std::size_t>(largest, sample.size);
    }
    if (largest > m_videoBuffer.size()) {
        m_videoBuffer.resize(largest);
    }
    return 1;
}

int CAviParser::OpenAudioStream() {
    m_audio = isOpen() != 0 ? Find(avi::kAuds, 0) : nullptr;
    m_audioFormat = m_audio != nullptr ? m_audio->audio : avi::WaveFormatEx{};
    m_audioChunkStarts.clear();
    if (m_audio == nullptr) {
        return 0;
    }
    std::uint64_t position = 0;
    for (const auto& sample : m_audio->samples) {
        m_audioChunkStarts.push_back(position);
        position += sample.size;
    }
    m_audioChunkStarts.push_back(position);
    if (m_info.dwAudioBlockSize > m_audioBuffer.size()) {
        m_audioBuffer.resize(m_info.dwAudioBlockSize);
    }
    return 1;
}

int CAviParser::OpenUserStream() {
    m_user = isOpen() != 0 ? Find(avi::kTxts, 0) : nullptr;
    if (m_user == nullptr) {
        return 0;
    }
    m_info.dwUserDataCount = static_cast<std::uint32_t>(m_user->samples.size());
    return 1;
}

void CAviParser::CloseVideoStream() { m_video = nullptr; }
void CAviParser::CloseAudioStream() {
    m_audio = nullptr;
    m_audioChunkStarts.clear();
}
void CAviParser::CloseUserStream() { m_user = nullptr; }

void CAviParser::CloseStream() {
    CloseVideoStream();
    CloseAudioStream();
    CloseUserStream();
    m_reader.close();
}

int CAviParser::FindVideoStream(int from, int direction, int keyOnly, std::int64_t* timeMs) {
    if (m_video == nullptr) {
        return -1;
    }
    const auto length = static_cast<std::int64_t>(m_video->samples.size());
    const std::int64_t relative = from - m_video->start;
    if (relative < 0 || relative >= length) {
        return -1;
    }
    std::int64_t found = -1;
    const std::int64_t step = direction < 0 ? -1 : 1;
    if (keyOnly != 0) {
        for (std::int64_t i = relative; i >= 0 && i < length; i += step) {
            if (m_video->samples[static_cast<std::size_t>(i)].key) {
                found = i;
                break;
            }
        }
    } else if (relative + step >= 0 && relative + step < length) {
        found = relative + step;
    }
    if (found < 0) {
        return -1;
    }
    if (timeMs != nullptr) {
        *timeMs = SampleToTime(*m_video, found + m_video->start);
    }
    return static_cast<int>(found + m_video->start);
}

int CAviParser::GetVideoStartPos() {
    return m_video == nullptr ? -1 : static_cast<int>(m_video->start);
}

void CAviParser::SetStreamPosVideo(int frame) { m_info.dwVideoPos = static_cast<std::uint32_t>(frame); }
void CAviParser::SetStreamPosAudio(int block) { m_info.dwAudioPos = static_cast<std::uint32_t>(block); }

int CAviParser::GetStreamPosVideoToAudio(int frame) {
    if (m_video == nullptr || m_audio == nullptr || m_info.dwAudioBlockSize == 0) {
        return -1;
    }
    const std::int64_t time = SampleToTime(*m_video, frame);
    const std::int64_t start = SampleToTime(*m_video, m_video->start);
    const std::int64_t elapsed = time < start ? 0 : time - start;
    return static_cast<int>(tachy::avi::mulDiv(elapsed, m_info.dwAudioBytesPerSec,
                                              static_cast<std::int64_t>(m_info.dwAudioBlockSize) * 1000));
}

int CAviParser::GetVideoHeader(avi::BitmapInfoHeader* bih, std::int64_t* timeMs, int* isKey, int* frame) {
    if (m_video == nullptr) {
        return 0;
    }
    const std::int64_t cursor = m_info.dwVideoPos;
    const std::size_t relative = static_cast<std::size_t>(cursor - m_video->start);
    // The key flag: is the next key frame from the cursor the cursor itself?
    const bool key = FindVideoStream(static_cast<int>(cursor), 1, 1, nullptr) == cursor;
    const std::int64_t size = m_reader.read(*m_video, relative, m_videoBuffer.data(), m_videoBuffer.size());
    if (size < 0) {
        return 0;
    }
    if (m_user != nullptr) {
        const std::int64_t userSize = m_reader.read(*m_user, relative, m_userBuffer.data(), m_userBuffer.size());
        m_userSize = userSize < 0 ? 0 : static_cast<std::uint32_t>(userSize);
    }
    if (bih != nullptr) {
        *bih = m_video->video;
        bih->biSizeImage = static_cast<std::uint32_t>(size);
    }
    if (isKey != nullptr) {
        *isKey = key ? 1 : 0;
    }
    if (frame != nullptr) {
        *frame = static_cast<int>(cursor);
    }
    if (timeMs != nullptr) {
        *timeMs = SampleToTime(*m_video, cursor);
    }
    m_info.dwVideoPos += 1;
    return 1;
}

std::uint8_t* CAviParser::GetVideoStream(std::uint32_t) {
    return m_video == nullptr ? nullptr : m_videoBuffer.data();
}

std::size_t CAviParser::ReadAudioBytes(std::uint64_t first, std::size_t wanted) {
    // The last chunk that starts at or before `first` holds it (empty chunks are passed over).
    const auto after =
        std::upper_bound(m_audioChunkStarts.begin(), m_audioChunkStarts.end() - 1, first);
    if (after == m_audioChunkStarts.begin()) {
        return 0;
    }
    auto chunk = static_cast<std::size_t>(after - m_audioChunkStarts.begin()) - 1;
    std::size_t skip = static_cast<std::size_t>(first - m_audioChunkStarts[chunk]);
    std::size_t done = 0;
    for (; done < wanted && chunk < m_audio->samples.size(); ++chunk, skip = 0) {
        const std::int64_t got =
            m_reader.read(*m_audio, chunk, skip, m_audioBuffer.data() + done, wanted - done);
        if (got < 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

int CAviParser::GetAudioHeader(avi::WaveFormatEx* wfx, std::int64_t* timeMs, std::uint32_t* size) {
    if (m_audio == nullptr) {
        return 0;
    }
    if (wfx != nullptr) {
        *wfx = m_audioFormat;
    }
    const std::uint32_t block = m_info.dwAudioBlockSize;
    const std::uint32_t perSecond = m_info.dwAudioBytesPerSec;
    if (block == 0 || perSecond == 0 || m_audioChunkStarts.empty()) {
        return 0;
    }
    // Block n is the audio from byte n x block size on (at a whole sample), wherever the chunk
    // boundaries fall: a file's chunks need not all have the largest size.
    std::uint64_t first = static_cast<std::uint64_t>(m_info.dwAudioPos) * block;
    if (m_audioFormat.nBlockAlign != 0) {
        first -= first % m_audioFormat.nBlockAlign;
    }
    const std::size_t got =
        ReadAudioBytes(first, std::min<std::size_t>(block, m_audioBuffer.size()));
    if (got == 0) {
        return 0;
    }
    if (timeMs != nullptr) {
        *timeMs = tachy::avi::mulDiv(static_cast<std::int64_t>(first), 1000, perSecond);
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(got);
    }
    m_info.dwAudioPos += 1;
    return 1;
}

std::uint8_t* CAviParser::GetAudioStream(std::uint32_t) {
    return m_audio == nullptr ? nullptr : m_audioBuffer.data();
}

std::uint8_t* CAviParser::GetUserFormat(std::uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    return nullptr;
}

std::uint8_t* CAviParser::GetUserData() {
    return m_user == nullptr ? nullptr : m_userBuffer.data();
}

std::uint8_t* CAviParser::GetUserData(std::uint32_t* size) {
    if (size != nullptr) {
        *size = m_userSize;
    }
    return GetUserData();
}

std::uint8_t* CAviParser::ReadUserData(int index, std::uint32_t* size) {
    if (m_user == nullptr || index < 0) {
        return nullptr;
    }
    const std::int64_t got = m_reader.read(*m_user, static_cast<std::size_t>(index), m_userBuffer.data(),
                                           m_userBuffer.size());
    if (got < 0) {
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(got);
    }
    return m_userBuffer.data();
}

int CAviParser::ReadUserStreamInAdvance() {
    std::uint32_t recordSize = 0;
    if (ReadUserData(0, &recordSize) == nullptr) {
        return 0;
    }
    if (recordSize == 0) {
        recordSize = m_defaultUserSize;
    }
    const auto frames = static_cast<std::uint64_t>(m_info.dwVideoLength);
    const std::uint64_t total = std::min<std::uint64_t>(recordSize * frames, 0x7FFFFFFF);
    m_userTotalSize = static_cast<std::uint32_t>(total);
    if (total > m_userArea.size()) {
        m_userArea.resize(static_cast<std::size_t>(total / 4096 * 4096 + 4096));
    }
    // The records laid end to end, each in its slot of recordSize bytes.
    for (std::size_t i = 0; m_user != nullptr && i < m_user->samples.size() && (i + 1) * recordSize <= total; ++i) {
        m_reader.read(*m_user, i, m_userArea.data() + i * recordSize, recordSize);
    }
    return 1;
}

std::uint8_t* CAviParser::GetUserDataAll() { return m_userArea.data(); }

int CAviParser::GetTotalUserDataCount() { return static_cast<int>(m_info.dwVideoLength); }

int CAviParser::GetVideoLength(std::int64_t timeMs) {
    if (isOpen() == 0) {
        return 0;
    }
    return m_video == nullptr ? -1 : static_cast<int>(TimeToSample(*m_video, timeMs));
}

int CAviParser::GetVideoLength() {
    return isOpen() != 0 ? static_cast<int>(m_info.dwVideoLength) : -1;
}

int CAviParser::GetAudioFormat() { return m_audioFormat.wFormatTag; }
int CAviParser::GetAudioFrequency() { return static_cast<int>(m_audioFormat.nSamplesPerSec); }
int CAviParser::GetAudioBitPerSample() { return m_audioFormat.wBitsPerSample; }

int CAviParser::GetTotalUserDataCount(std::int64_t timeMs) {
    return m_user == nullptr ? -1 : static_cast<int>(TimeToSample(*m_user, static_cast<std::uint32_t>(timeMs)));
}

std::uint64_t CAviParser::GetDuration(const std::string& path) {
    tachy::AviFileReader reader;
    if (!reader.open(path)) {
        return kDurationOpenFailed;
    }
    _TAG_STREAM_INFO info{};
    if (Describe(reader, &info, 0) == 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.llVideoDuration);
}
