#include "audio/sound/CDxSoundEx.h"

#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kSilent = tachy::SoundBuffer::kSilent;

} // namespace

CDxSoundEx::CDxSoundEx() = default;

CDxSoundEx::~CDxSoundEx() {
    CDxSoundEx::DeleteDxSound();
}

int CDxSoundEx::VolumeToLevel(int volume) {
    const double level = 2000.0 * std::log10(static_cast<double>(std::max(volume, 1))) - 4000.0;
    return std::min(0, static_cast<int>(level));
}

int CDxSoundEx::LevelToVolume(int level) {
    return std::min(100, static_cast<int>(std::pow(10.0, (level + 4000) / 2000.0)));
}

int CDxSoundEx::CreateDxSound(QWidget*) {
    if (m_device) {
        return 1;
    }
    // The output device itself is opened with each buffer; here the feeding thread starts.
    m_device = true;
    m_stopRequest = false;
    m_feeder = std::thread(&CDxSoundEx::Feed, this);
    return 1;
}

int CDxSoundEx::DeleteDxSound() {
    CDxSoundEx::PlayStop();
    m_stopRequest = true;
    if (m_feeder.joinable()) {
        m_feeder.join();  // the thread sleeps 1 ms per pass
    }
    CDxSoundEx::DeleteDSBuffer();
    m_device = false;
    return 1;
}

int CDxSoundEx::IsCreateDSBuffer() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    return m_buffer ? 1 : 0;
}

int CDxSoundEx::CreateDSBuffer(const void* format, int secondsFactor, int thresholdMs) {
    if (format == nullptr) {
        return 0;
    }
    tachy::avi::WaveFormatEx wave{};
    std::memcpy(&wave, format, sizeof wave);
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    m_format = wave;
    if (!m_device || thresholdMs <= 0 || 1000 / thresholdMs == 0) {
        return 0;
    }
    const unsigned long size = static_cast<unsigned long>(wave.wBitsPerSample) * wave.nAvgBytesPerSec *
                               static_cast<unsigned long>(std::max(secondsFactor, 0)) / 8;
    m_threshold = wave.nAvgBytesPerSec / (1000 / static_cast<unsigned long>(thresholdMs));
    tachy::SoundBuffer::Format bufferFormat{static_cast<int>(wave.nSamplesPerSec), std::max<int>(wave.nChannels, 1),
                                            wave.wBitsPerSample};
    m_buffer = tachy::SoundBuffer::Create(bufferFormat, size);
    if (!m_buffer) {
        tachy::DebugOut::write("CreateDSBuffer failed\n");
        return 0;
    }
    m_bufferSize = size;
    if (m_tap) {
        m_buffer->SetTap(m_tap);
    }
    m_buffer->SetVolume(kSilent);
    m_buffer->SetFrequency(static_cast<int>(wave.nSamplesPerSec));
    ClearBuffer();
    return 1;
}

int CDxSoundEx::DeleteDSBuffer() {
    CDxSoundEx::PlayStop();
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    m_buffer.reset();
    return 1;
}

int CDxSoundEx::ClearBuffer() {
    if (!m_buffer) {
        return 0;
    }
    std::uint8_t* first = nullptr;
    std::uint8_t* second = nullptr;
    std::size_t firstBytes = 0;
    std::size_t secondBytes = 0;
    if (m_buffer->Lock(0, m_buffer->Size(), first, firstBytes, second, secondBytes)) {
        std::memset(first, m_format.wBitsPerSample == 8 ? 0x80 : 0, firstBytes);
        m_buffer->Unlock();
    }
    m_writePosition = 0;
    m_playPosition = 0;
    m_buffer->SetPlayCursor(0);
    return 1;
}

int CDxSoundEx::InitAudioBuffer() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    return ClearBuffer();
}

int CDxSoundEx::CompareFormat(const void* format, int secondsFactor, int) {
    if (format == nullptr) {
        return -1;
    }
    tachy::avi::WaveFormatEx wave{};
    std::memcpy(&wave, format, sizeof wave);
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    const unsigned long size = static_cast<unsigned long>(wave.wBitsPerSample) * wave.nAvgBytesPerSec *
                               static_cast<unsigned long>(std::max(secondsFactor, 0)) / 8;
    if (wave.wFormatTag != m_format.wFormatTag || wave.wBitsPerSample != m_format.wBitsPerSample ||
        size != m_bufferSize) {
        return -1;
    }
    return wave.nSamplesPerSec == m_format.nSamplesPerSec ? 0 : -1;
}

void CDxSoundEx::PlayStart() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (!m_buffer) {
        return;
    }
    m_buffer->SetPlayCursor(m_playPosition);
    m_buffer->Play();
    m_playing = true;
}

int CDxSoundEx::PlayStop() {
    if (!m_playing) {
        return 1;
    }
    m_playing = false;
    {
        const std::lock_guard<std::mutex> guard(m_bufferLock);
        if (m_buffer) {
            m_buffer->SetVolume(kSilent);
        }
    }
    m_currentVolume = kSilent;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (m_buffer) {
        m_buffer->Stop();
    }
    m_primed = false;
    ClearBuffer();
    return 1;
}

int CDxSoundEx::SetFadeIn(int value) {
    m_fadeIn = value;
    return 1;
}

int CDxSoundEx::SetAudioBuffer(const unsigned char* data, int length, int start) {
    if (data == nullptr) {
        if (start == 1 && !m_playing) {
            PlayStart();
        }
        return 1;
    }
    {
        const std::lock_guard<std::mutex> guard(m_bufferLock);
        if (!m_buffer || length < 0) {
            return 0;
        }
        auto remaining = static_cast<unsigned long>(length);
        const unsigned long size = m_bufferSize;
        if (remaining > size) {
            return 0;  // more than the whole buffer cannot be queued
        }
        std::uint8_t* first = nullptr;
        std::uint8_t* second = nullptr;
        std::size_t firstBytes = 0;
        std::size_t secondBytes = 0;
        // The tail up to the end of the buffer first, then the rest from the beginning.
        if (m_writePosition + remaining > size) {
            const unsigned long tail = size - m_writePosition;
            if (tail > 0 && m_buffer->Lock(m_writePosition, tail, first, firstBytes, second, secondBytes)) {
                std::memcpy(first, data, firstBytes);
                m_buffer->Unlock();
            }
            data += tail;
            remaining -= tail;
            m_writePosition = 0;
        }
        if (remaining > 0) {
            if (!m_buffer->Lock(m_writePosition, remaining, first, firstBytes, second, secondBytes)) {
                return 0;
            }
            std::memcpy(first, data, firstBytes);
            m_buffer->Unlock();
            m_writePosition = (m_writePosition + remaining) % size;
        }
    }
    if (!m_playing && start != 0) {
        PlayStart();
    }
    return 1;
}

int CDxSoundEx::CheckDxBuffer(unsigned long limit) {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (!m_buffer) {
        return 0;
    }
    m_playPosition = static_cast<unsigned long>(m_buffer->PlayCursor());
    m_gap = m_writePosition >= m_playPosition ? m_writePosition - m_playPosition
                                              : m_writePosition + m_bufferSize - m_playPosition;
    return limit < m_gap ? 1 : 0;
}

int CDxSoundEx::IsPlaying() {
    return m_playing ? 1 : 0;
}

unsigned long CDxSoundEx::GetGap() {
    CheckDxBuffer(m_threshold / 4);
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    return m_gap;
}

unsigned long CDxSoundEx::GetGapThreshold() {
    return m_threshold;
}

int CDxSoundEx::SetVolume(int volume) {
    if (m_mute) {
        return 1;
    }
    const int level = VolumeToLevel(volume <= 0 ? 1 : volume);
    {
        const std::lock_guard<std::mutex> guard(m_bufferLock);
        if (m_buffer) {
            m_buffer->SetVolume(level);
        }
    }
    m_targetVolume = level;
    if (m_playing) {
        m_currentVolume = level;
    }
    return 1;
}

int CDxSoundEx::GetVolume() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    return m_buffer ? LevelToVolume(m_buffer->Volume()) : -1;
}

int CDxSoundEx::SetMute(int mute) {
    m_mute = mute == 1;
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (m_buffer) {
        m_buffer->SetVolume(mute == 1 ? kSilent : m_targetVolume.load());
    }
    return 1;
}

void CDxSoundEx::SetTap(tachy::SoundBuffer::Tap tap) {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    m_tap = std::move(tap);
    if (m_buffer) {
        m_buffer->SetTap(m_tap);
    }
}

// Every millisecond: stop when the queue ran dry, prime when enough is queued, and fade the
// volume in after a start, reaching the target 200 ms after the fade began.
void CDxSoundEx::Feed() {
    auto fadeBegan = std::chrono::steady_clock::now();
    while (!m_stopRequest) {
        const unsigned long threshold = m_threshold;
        if (m_playing && m_primed) {
            if (CheckDxBuffer(threshold / 4) == 0) {
                ++m_dryStops;
                PlayStop();
            }
        } else if (CheckDxBuffer(threshold) == 1) {
            m_primed = true;
        }
        const int target = m_targetVolume;
        if (m_playing && !m_mute && m_currentVolume != target) {
            const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - fadeBegan)
                                   .count();
            const auto level = static_cast<int>(std::min<long long>(target, (since - 200) * 50));
            m_currentVolume = std::max(level, kSilent);
            const std::lock_guard<std::mutex> guard(m_bufferLock);
            if (m_buffer) {
                m_buffer->SetVolume(m_currentVolume);
            }
        } else {
            fadeBegan = std::chrono::steady_clock::now();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
