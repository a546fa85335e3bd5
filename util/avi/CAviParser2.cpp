#include "util/avi/CAviParser2.h"

#include "util/avi/AviErrors.h"
#include "util/avi/MulDiv.h"

#include <algorithm>
#include <cstring>
#include <sys/statvfs.h>

namespace avi = tachy::avi;

namespace {

constexpr avi::FourCC kWave = avi::fourCC("WAVE");

// The folder holding the file must answer, as the drive of a Windows path had to.
bool volumeAnswers(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    struct statvfs status {};
    return ::statvfs(folder.c_str(), &status) == 0;
}

} // namespace

CAviParser2::CAviParser2()
    : m_videoBuffer(kVideoBufferSize), m_audioBuffer(kAudioBufferSize),
      m_userBuffer(kUserBufferSize) {}

CAviParser2::~CAviParser2() = default;

util::ParsedAviStream* CAviParser2::Stream(int ordinal) const {
    if (!m_file || ordinal < 0) {
        return nullptr;
    }
    return &m_file->streams()[static_cast<std::size_t>(ordinal)];
}

int CAviParser2::GetStreamInfo(const std::string& path, _TAG_STREAM_INFO* info, int videoIndex) {
    if (info == nullptr || !volumeAnswers(path)) {
        return 0;
    }
    util::ParsedAviFile file;
    if (file.open(path) != util::kAviOk) {
        return 0;
    }
    return FillStreamInfo(file, info, videoIndex);
}

int CAviParser2::FillStreamInfo(const util::ParsedAviFile& file, _TAG_STREAM_INFO* info,
                                int videoIndex) {
    if (const util::ParsedAviStream* audio = file.findStream(avi::kAuds)) {
        const avi::AviStreamHeader& header = audio->header;
        info->fccAudioHandler = header.fccHandler;
        info->dwAudioLength = 0;
        avi::WaveFormatEx format{};
        std::memcpy(&format, audio->formatBytes.data(), std::min(audio->formatBytes.size(), sizeof format));
        const std::uint32_t sampleSize =
            header.dwSampleSize != 0 || header.fccHandler == kWave ? header.dwSampleSize : format.nBlockAlign;
        if (header.dwRate != 0 && sampleSize != 0) {
            info->dwAudioLength = audio->length();
            info->dwAudioBlockSize = audio->largestChunk;
            info->dwAudioBytesPerSec =
                header.dwScale == 0 ? 0
                                    : static_cast<std::uint32_t>(static_cast<std::uint64_t>(header.dwRate) *
                                                                 sampleSize / header.dwScale);
        }
    }
    const util::ParsedAviStream* video = file.findStream(avi::kVids, videoIndex);
    bool valid = false;
    if (video != nullptr) {
        info->llVideoStartTime = video->sampleToTime(video->start());
        info->llVideoEndTime = video->sampleToTime(video->length());
        info->llVideoDuration = info->llVideoEndTime;
        info->dwVideoScale = video->header.dwScale;
        info->dwVideoRate = video->header.dwRate;
        info->dwVideoLength = video->length();
        m_videoInfo = video->header;
        if (info->llVideoDuration <= 0 || video->header.dwScale == 0 || video->header.dwRate == 0 ||
            video->length() == 0) {
            return 0;  // AVIERR_BADFORMAT
        }
        valid = true;
    }
    if (const util::ParsedAviStream* user = file.findStream(avi::kTxts)) {
        info->dwUserDataCount = user->length();
        const std::int64_t size =
            file.readSample(*user, user->start(), m_userBuffer.data(), m_userBuffer.size());
        info->dwFirstUserDataSize = size < 0 ? 0 : static_cast<std::uint32_t>(size);
    }
    return valid ? 1 : 0;
}

int CAviParser2::isOpen() { return m_file ? 1 : 0; }
int CAviParser2::isVideoOpen() { return m_video >= 0 ? 1 : 0; }
int CAviParser2::isAudioOpen() { return m_audio >= 0 ? 1 : 0; }
int CAviParser2::isUserOpen() { return m_user >= 0 ? 1 : 0; }

int CAviParser2::OpenStream(const std::string& path, int videoIndex) {
    CloseStream();
    const std::uint32_t videoPosition = m_info.dwVideoPos;
    const std::uint32_t audioPosition = m_info.dwAudioPos;
    m_info = {};
    // Opening does not move the read cursors.
    m_info.dwVideoPos = videoPosition;
    m_info.dwAudioPos = audioPosition;
    if (!volumeAnswers(path)) {
        return 0;
    }
    // One parse serves both the stream information and the open file.
    auto file = std::make_unique<util::ParsedAviFile>();
    if (file->open(path) != util::kAviOk || FillStreamInfo(*file, &m_info, videoIndex) == 0) {
        return 0;
    }
    m_file = std::move(file);
    return 1;
}

int CAviParser2::OpenVideoStream(int videoIndex) {
    if (!m_file) {
        return 0;
    }
    CloseVideoStream();
    const util::ParsedAviStream* video = m_file->findStream(avi::kVids, videoIndex);
    m_video = video == nullptr ? -1 : video->ordinal;
    if (m_video < 0) {
        return 0;
    }
    // Frames reach the decoder whole: the buffer grows to the stream's largest chunk (held to
    // the file's size, so that a corrupt index cannot ask for more than the file holds), and
    // again by the codec header put in front of key frames.
    GrowBuffer(m_videoBuffer, video->largestChunk);
    CutCodecHeader();
    GrowBuffer(m_videoBuffer, video->largestChunk + m_codecHeader.size());
    return 1;
}

void CAviParser2::GrowBuffer(std::vector<std::uint8_t>& buffer, std::uint64_t wanted) const {
    const std::uint64_t limit = m_file ? m_file->file().size() + (1U << 16) : 0;
    const std::uint64_t size = std::min(wanted, limit);
    if (size > buffer.size()) {
        buffer.resize(static_cast<std::size_t>(size));
    }
}

void CAviParser2::CutCodecHeader() {
    m_codecHeader.clear();
    const util::ParsedAviStream* video = Stream(m_video);
    const std::int64_t size = m_file->readSample(*video, video->start(), m_videoBuffer.data(),
                                                 m_videoBuffer.size());
    if (size - 16 < 0 || size - 16 > static_cast<std::int64_t>(m_videoBuffer.size())) {
        return;
    }
    // Start codes are looked at up to 16 bytes before the frame's end (a four-byte code's
    // 00 00 01 one byte later).
    std::size_t begin = 0;
    std::size_t end = 0;
    if (util::NalUnits::findCodecHeader(m_videoBuffer.data(), static_cast<std::size_t>(size),
                                        static_cast<std::size_t>(size - 16), video->codec, begin, end) &&
        end > begin) {
        m_codecHeader.assign(m_videoBuffer.data() + begin, m_videoBuffer.data() + end);
    }
}

int CAviParser2::OpenAudioStream() {
    if (!m_file) {
        return 0;
    }
    CloseAudioStream();
    const util::ParsedAviStream* audio = m_file->findStream(avi::kAuds);
    if (audio == nullptr) {
        return 0;
    }
    m_audio = audio->ordinal;
    m_audioFormat = {};
    std::memcpy(&m_audioFormat, audio->formatBytes.data(),
                std::min(audio->formatBytes.size(), sizeof m_audioFormat));
    GrowBuffer(m_audioBuffer, m_info.dwAudioBlockSize);
    std::fill(m_audioBuffer.begin(), m_audioBuffer.end(), 0);
    return 1;
}

int CAviParser2::OpenUserStream() {
    if (!m_file) {
        return 0;
    }
    CloseUserStream();
    const util::ParsedAviStream* user = m_file->findStream(avi::kTxts);
    if (user == nullptr) {
        return 0;
    }
    m_user = user->ordinal;
    m_info.dwUserDataCount = user->length();
    return 1;
}

void CAviParser2::CloseVideoStream() {
    m_video = -1;
    m_codecHeader.clear();
}

void CAviParser2::CloseAudioStream() { m_audio = -1; }
void CAviParser2::CloseUserStream() { m_user = -1; }

void CAviParser2::CloseStream() {
    CloseVideoStream();
    CloseAudioStream();
    CloseUserStream();
    m_file.reset();
}

int CAviParser2::FindVideoStream(int from, int direction, int keyOnly, std::int64_t* timeMs) {
    const util::ParsedAviStream* video = Stream(m_video);
    if (video == nullptr) {
        return -1;
    }
    const std::int64_t length = video->length();
    const std::int64_t relative = static_cast<std::int64_t>(from) - video->start();
    if (relative < 0 || relative >= length) {
        return -1;
    }
    std::int64_t found = -1;
    const auto isKey = [&](std::int64_t i) {
        return (video->index[static_cast<std::size_t>(i)].dwFlags & avi::kIndexKeyFrame) != 0;
    };
    if (direction >= 0) {
        if (keyOnly != 0) {
            for (std::int64_t i = relative; i < length && found < 0; ++i) {
                found = isKey(i) ? i : -1;
            }
        } else if (relative + 1 < length) {
            found = relative + 1;
        }
    } else {
        if (keyOnly != 0) {
            for (std::int64_t i = relative; i >= 0 && found < 0; --i) {
                found = isKey(i) ? i : -1;
            }
        } else if (relative - 1 >= 0) {
            found = relative - 1;
        }
    }
    if (found < 0) {
        return -1;
    }
    const std::int64_t frame = found + video->start();
    if (timeMs != nullptr) {
        *timeMs = video->sampleToTime(frame);
    }
    return static_cast<int>(frame);
}

int CAviParser2::GetVideoStartPos() {
    const util::ParsedAviStream* video = Stream(m_video);
    return video == nullptr ? -1 : static_cast<int>(video->start());
}

void CAviParser2::SetStreamPosVideo(int frame) { m_info.dwVideoPos = static_cast<std::uint32_t>(frame); }
void CAviParser2::SetStreamPosAudio(int block) { m_info.dwAudioPos = static_cast<std::uint32_t>(block); }

int CAviParser2::GetStreamPosVideoToAudio(int frame) {
    const util::ParsedAviStream* video = Stream(m_video);
    if (video == nullptr || m_audio < 0 || m_info.dwAudioBlockSize == 0 || m_videoInfo.dwRate == 0) {
        return -1;
    }
    const std::int64_t time = video->sampleToTime(frame);
    const std::int64_t start = tachy::avi::mulDiv(
        m_videoInfo.dwStart, static_cast<std::int64_t>(m_videoInfo.dwScale) * 1000, m_videoInfo.dwRate);
    const std::int64_t elapsed = time < start ? 0 : time - start;
    return static_cast<int>(tachy::avi::mulDiv(elapsed, m_info.dwAudioBytesPerSec,
                                              static_cast<std::int64_t>(m_info.dwAudioBlockSize) * 1000));
}

int CAviParser2::GetVideoHeader(avi::BitmapInfoHeader* bih, std::int64_t* timeMs, int* isKey,
                                int* frame) {
    const util::ParsedAviStream* video = Stream(m_video);
    if (video == nullptr) {
        return 0;
    }
    avi::BitmapInfoHeader format{};
    std::memcpy(&format, video->formatBytes.data(), std::min(video->formatBytes.size(), sizeof format));
    const std::int64_t cursor = m_info.dwVideoPos;
    const std::int64_t relative = cursor - video->start();
    if (relative < 0 || relative >= video->length()) {
        return 0;
    }
    const bool key = (video->index[static_cast<std::size_t>(relative)].dwFlags & avi::kIndexKeyFrame) != 0;
    const std::size_t headerLength = m_codecHeader.size();
    std::int64_t size = m_file->readSample(*video, cursor, m_videoBuffer.data() + headerLength,
                                           m_videoBuffer.size() - headerLength);
    if (size < 0) {
        return 0;
    }
    m_frameOffset = headerLength;
    const std::uint8_t* frameBytes = m_videoBuffer.data() + headerLength;
    // A key frame that does not carry its own parameter sets gets the codec header in front.
    const auto frameSize = static_cast<std::size_t>(size);
    if (key && headerLength > 0 && util::NalUnits::beginsWithStartCode(frameBytes, frameSize) &&
        !util::NalUnits::carriesParameterSets(frameBytes, frameSize, video->codec)) {
        std::memcpy(m_videoBuffer.data(), m_codecHeader.data(), headerLength);
        m_frameOffset = 0;
        size += static_cast<std::int64_t>(headerLength);
    }
    format.biSizeImage = static_cast<std::uint32_t>(size);
    if (bih != nullptr) {
        *bih = format;
    }
    if (isKey != nullptr) {
        *isKey = key ? 1 : 0;
    }
    if (frame != nullptr) {
        *frame = static_cast<int>(cursor);
    }
    if (timeMs != nullptr) {
        *timeMs = video->sampleToTime(cursor);
    }
    m_info.dwVideoPos += 1;
    return 1;
}

std::uint8_t* CAviParser2::GetVideoStream(std::uint32_t) {
    return m_video < 0 ? nullptr : m_videoBuffer.data() + m_frameOffset;
}

int CAviParser2::GetAudioHeader(avi::WaveFormatEx* wfx, std::int64_t* timeMs, std::uint32_t* size) {
    util::ParsedAviStream* audio = Stream(m_audio);
    if (audio == nullptr) {
        return 0;
    }
    if (wfx != nullptr) {
        *wfx = m_audioFormat;
    }
    const std::uint32_t rate = m_audioFormat.nSamplesPerSec;
    const std::uint32_t align = m_audioFormat.nBlockAlign;
    const auto block = static_cast<std::uint32_t>(
        std::min<std::size_t>(m_info.dwAudioBlockSize, m_audioBuffer.size()));
    if (rate == 0 || align == 0 || block == 0) {
        return 0;
    }
    const std::int64_t cursor = m_info.dwAudioPos;
    const std::int64_t firstSample = tachy::avi::mulDiv(cursor, m_info.dwAudioBlockSize, align);
    const std::size_t got = m_file->readAudio(*audio, align, firstSample, m_audioBuffer.data(), block);
    if (got == 0) {
        return 0;
    }
    m_lastAudioSize = static_cast<std::uint32_t>(got);
    if (timeMs != nullptr) {
        *timeMs = tachy::avi::mulDiv(cursor, static_cast<std::int64_t>(m_info.dwAudioBlockSize) * 1000,
                                    static_cast<std::int64_t>(rate) * align);
    }
    if (size != nullptr) {
        *size = m_lastAudioSize;
    }
    m_info.dwAudioPos += 1;
    return 1;
}

std::uint8_t* CAviParser2::GetAudioStream(std::uint32_t) {
    return m_audio < 0 ? nullptr : m_audioBuffer.data();
}

std::uint8_t* CAviParser2::GetUserFormat(std::uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    return nullptr;
}

std::uint8_t* CAviParser2::GetUserData() {
    return m_user < 0 ? nullptr : m_userBuffer.data();
}

std::uint8_t* CAviParser2::ReadUserData(int index, std::uint32_t* size) {
    const util::ParsedAviStream* user = Stream(m_user);
    if (user == nullptr || index < 0) {
        return nullptr;
    }
    const std::int64_t got = m_file->readSample(*user, static_cast<std::int64_t>(user->start()) + index,
                                                m_userBuffer.data(), m_userBuffer.size());
    if (got < 0) {
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(got);
    }
    return m_userBuffer.data();
}

int CAviParser2::GetVideoLength(std::int64_t timeMs) {
    if (!m_file) {
        return 0;
    }
    const util::ParsedAviStream* video = Stream(m_video);
    return video == nullptr ? -1 : static_cast<int>(video->timeToSample(timeMs));
}

int CAviParser2::GetVideoLength() {
    return m_file ? static_cast<int>(m_info.dwVideoLength) : -1;
}

int CAviParser2::GetAudioFormat() { return m_audioFormat.wFormatTag; }
int CAviParser2::GetAudioFrequency() { return static_cast<int>(m_audioFormat.nSamplesPerSec); }
int CAviParser2::GetAudioBitPerSample() { return m_audioFormat.wBitsPerSample; }

int CAviParser2::GetTotalUserDataCount(std::int64_t timeMs) {
    const util::ParsedAviStream* user = Stream(m_user);
    if (user == nullptr) {
        return -1;
    }
    return static_cast<int>(user->timeToSample(static_cast<std::uint32_t>(timeMs)));
}

std::uint64_t CAviParser2::GetDuration(const std::string& path) {
    return util::ParsedAviFile::quickDuration(path);
}
