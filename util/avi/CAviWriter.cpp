#include "util/avi/CAviWriter.h"

namespace avi = tachy::avi;

namespace {

struct VideoType {
    avi::FourCC compression;
    std::uint16_t bitCount;
    bool sizedImage;
};

bool videoType(int type, VideoType& out) {
    static const VideoType kTypes[] = {
        {0, 32, true},
        {0, 24, true},
        {0, 16, true},
        {avi::fourCC("YUY2"), 16, true},
        {avi::fourCC("XVID"), 16, false},
        {avi::fourCC("X264"), 16, true},
        {avi::fourCC("MJPG"), 16, false},
        {avi::fourCC("HEVC"), 16, true},
    };
    if (type < 0 || type > 7) {
        return false;
    }
    out = kTypes[type];
    return true;
}

std::uint16_t audioTag(int type) {
    static const std::uint16_t kTags[] = {1, 7, 6};
    return type >= 0 && type <= 2 ? kTags[type] : 0;
}

} // namespace

CAviWriter::CAviWriter() = default;

CAviWriter::~CAviWriter() {
    Close();
}

int CAviWriter::Open(const std::string& path) {
    Close();
    auto file = std::make_unique<tachy::AviFileWriter>();
    if (!file->open(path)) {
        return 0;
    }
    m_file = std::move(file);
    return 1;
}

int CAviWriter::OpenVideoStream(int type, double framesPerSecond, int width, int height,
                                int firstSample, int callerNumbering) {
    VideoType kind{};
    if (!m_file || m_video >= 0 || !videoType(type, kind) || width <= 0 || height <= 0 ||
        width > 32767 || height > 32767 || framesPerSecond <= 0) {
        return 0;
    }
    const auto imageSize = kind.sizedImage
                               ? static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) *
                                     kind.bitCount / 8
                               : 0U;
    avi::AviStreamHeader header{};
    header.fccType = avi::kVids;
    header.fccHandler = kind.compression;
    header.dwScale = 1000;
    header.dwRate = static_cast<std::uint32_t>(framesPerSecond * 1000);
    header.dwSuggestedBufferSize = imageSize;
    header.dwQuality = 0xFFFFFFFFU;
    header.rcFrame = {0, 0, static_cast<std::int16_t>(width), static_cast<std::int16_t>(height)};
    avi::BitmapInfoHeader format{};
    format.biSize = sizeof format;
    format.biWidth = width;
    format.biHeight = height;
    format.biPlanes = 1;
    format.biBitCount = kind.bitCount;
    format.biCompression = kind.compression;
    format.biSizeImage = imageSize;
    m_video = m_file->addStream(header, &format, sizeof format);
    if (m_video < 0) {
        return 0;
    }
    m_firstFramePending = true;
    m_videoSample = firstSample;
    m_width = width;
    m_height = height;
    m_callerNumbering = callerNumbering != 0;
    return 1;
}

int CAviWriter::OpenAudioStream(int type, int bitsPerSample, int samplesPerSecond, int channels,
                                int suggestedBufferSize) {
    if (!m_file || bitsPerSample <= 0 || samplesPerSecond <= 0 || channels <= 0) {
        return 0;
    }
    avi::WaveFormatEx format{};
    format.wFormatTag = audioTag(type);
    format.nChannels = static_cast<std::uint16_t>(channels);
    format.nSamplesPerSec = static_cast<std::uint32_t>(samplesPerSecond);
    format.wBitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    format.nBlockAlign = static_cast<std::uint16_t>(bitsPerSample / 8 * channels);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    avi::AviStreamHeader header{};
    header.fccType = avi::kAuds;
    header.fccHandler = avi::fourCC("WAVE");
    header.dwScale = 1;
    header.dwRate = static_cast<std::uint32_t>(samplesPerSecond);
    header.dwSuggestedBufferSize = static_cast<std::uint32_t>(suggestedBufferSize);
    header.dwQuality = 0xFFFFFFFFU;
    header.dwSampleSize = format.nBlockAlign;
    m_audio = m_file->addStream(header, &format, sizeof format);
    m_audioSample = 0;
    return m_audio >= 0 ? 1 : 0;
}

int CAviWriter::OpenUserStream(double framesPerSecond, int suggestedBufferSize, const void* format,
                               int formatSize) {
    if (!m_file || framesPerSecond <= 0 || formatSize < 0 || (formatSize > 0 && format == nullptr)) {
        return 0;
    }
    avi::AviStreamHeader header{};
    header.fccType = avi::kTxts;
    header.fccHandler = avi::fourCC("EVNT");
    header.dwScale = 1000;
    header.dwRate = static_cast<std::uint32_t>(framesPerSecond * 1000);
    header.dwSuggestedBufferSize = static_cast<std::uint32_t>(suggestedBufferSize);
    header.dwQuality = 0xFFFFFFFFU;
    m_user = m_file->addStream(header, format, static_cast<std::size_t>(formatSize));
    return m_user >= 0 ? 1 : 0;
}

int CAviWriter::WriteVideo(const void* data, int size, int isKey) {
    if (!m_file || m_video < 0 || size < 0 || (m_firstFramePending && isKey == 0)) {
        return 0;
    }
    if (!m_file->write(m_video, m_videoSample, data, static_cast<std::size_t>(size),
                       isKey != 0 ? avi::kIndexKeyFrame : 0)) {
        return 0;
    }
    m_firstFramePending = false;
    if (!m_callerNumbering) {
        m_videoSample += 1;
    }
    return 1;
}

void CAviWriter::IncSampleCount(int count) {
    if (m_callerNumbering) {
        m_videoSample = count;
    } else {
        m_videoSample += count - 1;
    }
}

int CAviWriter::WriteAudio(const void* data, int size) {
    if (!m_file || m_audio < 0 || size < 0 ||
        !m_file->write(m_audio, m_audioSample, data, static_cast<std::size_t>(size), 0)) {
        return 0;
    }
    m_audioSample += 1;
    return 1;
}

int CAviWriter::WriteUserData(const void* data, int size, int /*flag*/) {
    if (!m_file || m_user < 0 || size < 0) {
        return 0;
    }
    return m_file->write(m_user, m_videoSample, data, static_cast<std::size_t>(size), 0) ? 1 : 0;
}

int CAviWriter::EditVideoStream(int /*unused*/) {
    constexpr std::uint32_t kScale = 1000;
    constexpr std::uint32_t kFifteenPerSecond = 15000;
    if (!m_file || m_video < 0) {
        return 0;
    }
    return m_file->setStreamRate(m_video, kScale, kFifteenPerSecond) ? 1 : 0;
}

int CAviWriter::EditUserStream(int rate) {
    constexpr std::uint32_t kScale = 1000;
    if (!m_file || m_user < 0 || rate <= 0) {
        return 0;
    }
    return m_file->setStreamRate(m_user, kScale, static_cast<std::uint32_t>(rate)) ? 1 : 0;
}

void CAviWriter::CloseVideoStream() { m_video = -1; }
void CAviWriter::CloseAudioStream() { m_audio = -1; }
void CAviWriter::CloseUserStream() { m_user = -1; }

int CAviWriter::Close() {
    CloseAudioStream();
    CloseVideoStream();
    CloseUserStream();
    if (!m_file) {
        return 0;
    }
    const bool ok = m_file->close();
    m_file.reset();
    return ok ? 1 : 0;
}
