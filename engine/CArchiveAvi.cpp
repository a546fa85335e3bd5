#include "engine/CArchiveAvi.h"

#include <cstring>
#include <filesystem>

CArchiveAvi::CArchiveAvi() : m_parser(IAVIParser::Create(IAVIParser::kRiffReader)) {
    (void)m_flag;
}

CArchiveAvi::~CArchiveAvi() {
    if (m_parser) {
        m_parser->CloseStream();
    }
}

bool CArchiveAvi::ParseName(const std::string& path, naming::StreamFileName& name) const {
    return naming::ParseName(m_format, std::filesystem::path(path).filename().string(), name);
}

void CArchiveAvi::BuildKeys(int from, std::int64_t endSecond, bool bounded) {
    int position = from;
    for (;;) {
        std::int64_t time = 0;
        const int key = m_parser->FindVideoStream(position, 0, 1, &time);
        if (key < 0) {
            break;
        }
        const std::int64_t second = (m_timeBase + time) / 1000;
        if (bounded && second > endSecond) {
            break;
        }
        m_keys.push_back({static_cast<std::uint32_t>(second), 0, key, 0});
        position = key + 1;
    }
}

int CArchiveAvi::BuildKeyIndexUntil(int, int, std::int64_t endSecond) {
    if (m_parser->isVideoOpen() == 0) {
        return 0;
    }
    BuildKeys(m_parser->GetVideoStartPos(), endSecond, true);
    return 1;
}

int CArchiveAvi::BuildKeyIndex(int) {
    return BuildKeyIndex();
}

int CArchiveAvi::BuildKeyIndex() {
    if (m_parser->isVideoOpen() == 0) {
        return 0;
    }
    BuildKeys(0, 0, false);
    return 1;
}

int CArchiveAvi::FindKeyByPosition(int position, int forward, int step) {
    if (m_keys.empty()) {
        return -1;
    }
    const int last = static_cast<int>(m_keys.size()) - 1;
    if (position < m_keys.front().llPosition) {
        return 0;
    }
    if (position >= m_keys.back().llPosition) {
        return last;
    }
    int low = 0;
    int high = last;
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        const std::int64_t at = m_keys[static_cast<std::size_t>(middle)].llPosition;
        if (at == position) {
            low = high = middle;
            break;
        }
        (at < position ? low : high) = middle;
    }
    if (m_keys[static_cast<std::size_t>(low)].llPosition == position) {
        if (step == 0) {
            return low;
        }
        return forward != 0 ? std::min(low + 1, last) : std::max(low - 1, 0);
    }
    return forward != 0 ? high : low;
}

void CArchiveAvi::ClearKeyIndex() {
    m_keys.clear();
}

int CArchiveAvi::GetKeyEntry(int index, _KEY_ENTRY* out) {
    if (index < 0 || index >= static_cast<int>(m_keys.size())) {
        return -1;
    }
    if (out != nullptr) {
        *out = m_keys[static_cast<std::size_t>(index)];
    }
    return index;
}

int CArchiveAvi::FindKeyBySecond(std::int64_t second, int) {
    if (m_keys.empty()) {
        return -1;
    }
    if (second < 0 || second <= m_keys.front().dwSecond) {
        return 0;
    }
    int below = 0;
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i].dwSecond == second) {
            return static_cast<int>(i);
        }
        if (m_keys[i].dwSecond < second) {
            below = static_cast<int>(i);
        }
    }
    return below;
}

int CArchiveAvi::GetKeyCount() {
    return static_cast<int>(m_keys.size());
}

int CArchiveAvi::GetVideoLength(std::int64_t durationMs) {
    return m_parser->GetVideoLength(durationMs);
}

int CArchiveAvi::Open(const std::string& path, int channelOffset) {
    if (m_parser->isOpen() != 0) {
        m_parser->CloseStream();
    }
    if (m_parser->OpenStream(path, channelOffset) == 0) {
        return 0;
    }
    if (m_parser->OpenVideoStream(channelOffset) != 0 && m_parser->OpenUserStream() != 0) {
        std::uint32_t size = 0;
        m_parser->ReadUserData(0, &size);
    }
    m_path = path;
    naming::StreamFileName name;
    if (!ParseName(path, name)) {
        return 0;
    }
    m_timeBase = name.timeMs;
    m_channel = name.channel + channelOffset;
    return 1;
}

void CArchiveAvi::Close() {
    m_parser->CloseStream();
}

void CArchiveAvi::Describe(_FRAME_DESC& descriptor, std::int64_t timeMs) const {
    const std::int64_t absolute = m_timeBase + timeMs;
    descriptor.nMarker = kFrameMarker;
    descriptor.dwMarkerWord = kFrameMarkerWord;
    descriptor.dwSecond = static_cast<std::uint32_t>(absolute / 1000);
    descriptor.wMillisecond = static_cast<std::uint16_t>(absolute - (absolute / 1000) * 1000);
}

const _FRAME_DESC* CArchiveAvi::ReadVideoFrame() {
    m_video = {};
    m_videoBytes = 0;
    tachy::avi::BitmapInfoHeader bih{};
    std::int64_t time = 0;
    int key = 0;
    int frame = 0;
    if (m_parser->GetVideoHeader(&bih, &time, &key, &frame) == 0) {
        return nullptr;
    }
    Describe(m_video, time);
    const auto resolution = static_cast<std::uint32_t>(ResolutionCode(bih.biWidth, std::abs(bih.biHeight)));
    m_video.dwChannelRes = (static_cast<std::uint32_t>(m_channel) & 0x0F) | (resolution << 8);
    m_video.dwSizes = bih.biSizeImage & 0x7FFFF;
    m_videoBytes = bih.biSizeImage;
    m_video.dwFrameType = static_cast<std::uint32_t>(key) & 0x3;
    m_video.nFramePosition = frame;
    return &m_video;
}

const std::uint8_t* CArchiveAvi::ReadVideoData(std::uint32_t size) {
    return m_parser->GetVideoStream(size);
}

int CArchiveAvi::Seek(std::int64_t position) {
    m_parser->SetStreamPosVideo(static_cast<int>(position));
    return 1;
}

int CArchiveAvi::GetAudioFormat() { return m_parser->GetAudioFormat(); }
int CArchiveAvi::GetAudioFrequency() { return m_parser->GetAudioFrequency(); }
int CArchiveAvi::GetAudioBitPerSample() { return m_parser->GetAudioBitPerSample(); }

int CArchiveAvi::OpenAudio(const std::string& path) {
    if (m_parser->isOpen() != 0 && path != m_path) {
        m_parser->CloseStream();
    }
    if (m_parser->isOpen() == 0 && m_parser->OpenStream(path, 0) == 0) {
        return 0;
    }
    m_path = path;
    return m_parser->OpenAudioStream();
}

const _FRAME_DESC* CArchiveAvi::ReadAudioFrame() {
    m_audio = {};
    m_audioBytes = 0;
    std::int64_t time = 0;
    std::uint32_t size = 0;
    if (m_parser->GetAudioHeader(nullptr, &time, &size) == 0) {
        return nullptr;
    }
    Describe(m_audio, time);
    m_audio.dwChannelRes = static_cast<std::uint32_t>(m_channel) & 0x0F;
    m_audio.dwSizes = (size & 0x1FFF) << 19;
    m_audioBytes = size;
    return &m_audio;
}

const std::uint8_t* CArchiveAvi::ReadAudioData(std::uint32_t size) {
    return m_parser->GetAudioStream(size);
}

int CArchiveAvi::SyncAudio(int videoPosition) {
    const int block = m_parser->GetStreamPosVideoToAudio(videoPosition);
    if (block < 0) {
        return 0;
    }
    m_parser->SetStreamPosAudio(block);
    return 1;
}

int CArchiveAvi::GetFileInfo(const std::string& path, _FILE_INFO* start, _FILE_INFO* end,
                             int* modeBits, int* channelCount) {
    naming::StreamFileName name;
    if (start == nullptr || end == nullptr || !ParseName(path, name)) {
        return 0;
    }
    const auto fill = [&](_FILE_INFO& record, std::int64_t timeMs, int channel) {
        record.dwSecond = static_cast<std::uint32_t>(timeMs / 1000);
        record.dwMillisecond = static_cast<std::uint32_t>(timeMs % 1000);
        record.dwFileNumber = static_cast<std::uint32_t>(name.fileNumber);
        record.dwChannel = static_cast<std::uint32_t>(channel);
    };
    fill(start[0], name.timeMs, name.channel);
    const std::uint64_t duration = m_parser->GetDuration(path);
    std::int64_t endMs = 0;
    // A duration the headers give that no time can end is as unreadable as none.
    if (duration == 0 || static_cast<std::int64_t>(duration) < 0 ||
        __builtin_add_overflow(name.timeMs, static_cast<std::int64_t>(duration), &endMs)) {
        return -1;
    }
    fill(end[0], endMs, name.channel);
    if (modeBits != nullptr) {
        *modeBits = name.recordMode <= 0 ? 0 : 1 << (name.recordMode - 1);
    }
    for (int channel = 1; channel < std::min(name.channelCount, 3); ++channel) {
        fill(start[channel], name.timeMs, name.channel + channel);
        fill(end[channel], endMs, name.channel + channel);
    }
    if (channelCount != nullptr) {
        *channelCount = name.channelCount;
    }
    return 1;
}

void CArchiveAvi::CloseFile() {
    if (m_parser) {
        m_parser->CloseStream();
    }
}

int CArchiveAvi::IsOpen() {
    return m_parser->isOpen();
}

void CArchiveAvi::SetNameFormat(const _AVI_NAME_FORMAT2& format) {
    m_format = format;
}

int CArchiveAvi::ParseChannel(const std::string& name, int* channel) {
    naming::StreamFileName parsed;
    const int result = ParseName(name, parsed) ? parsed.channel : -2;
    if (channel != nullptr) {
        *channel = result;
    }
    return result;
}

int CArchiveAvi::GetUserDataCount(std::int64_t durationMs) {
    return m_parser->GetTotalUserDataCount(durationMs);
}

const std::uint8_t* CArchiveAvi::ReadUserData(int index, std::uint32_t* length) {
    return m_parser ? m_parser->ReadUserData(index, length) : nullptr;
}

std::uint64_t CArchiveAvi::GetDuration(const std::string& path) {
    _TAG_STREAM_INFO info{};
    if (m_parser->GetStreamInfo(path, &info, 0) == 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.llVideoDuration);
}
