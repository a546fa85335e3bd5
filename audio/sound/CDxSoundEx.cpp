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

int CDxSoundEx::FadeLevel(int target, long long sinceMs) {
    return std::max(static_cast<int>(std::min<long long>(target, (sinceMs - 200) * 50)), kSilent);
}

int CDxSoundEx::CreateDxSound(QWidget*) {
    if (m_device) {
        return 1;
    }
    // The output device itself is opened with each buffer, in the buffer's format; here it is
    // only checked that one can be opened, so that a machine without sound is told at once.
    if (!tachy::SoundBuffer::DeviceAvailable()) {
        tachy::DebugOut::write("CreateDxSound: no sound output device\n");
        return 0;
    }
    m_device = true;
    m_stopRequest = false;
    m_feeder = std::thread(&CDxSoundEx::Feed, this);
    return 1;
}

int CDxSoundEx::DeleteDxSound() {
    CDxSoundEx::PlayStop();
    m_stopRequest = true;
    if (m_feeder.joinable()) {
        m_feeder.join(); // the thread sleeps 1 ms per pass
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
    const unsigned long size = static_cast<unsigned long>(wave.wBitsPerSample) *
                               wave.nAvgBytesPerSec *
                               static_cast<unsigned long>(std::max(secondsFactor, 0)) / 8;
    m_threshold = wave.nAvgBytesPerSec / (1000 / static_cast<unsigned long>(thresholdMs));
    // A buffer made anew starts stopped, and so does the output. The old one closes its device
    // first: a driver with a single device opens no second one beside it.
    StopPlaying();
    m_buffer.reset();
    tachy::SoundBuffer::Format bufferFormat{static_cast<int>(wave.nSamplesPerSec),
                                            std::max<int>(wave.nChannels, 1), wave.wBitsPerSample};
    m_buffer = tachy::SoundBuffer::Create(bufferFormat, size);
    if (!m_buffer) {
        tachy::DebugOut::write("CreateDSBuffer failed\n");
        return 0;
    }
    m_bufferSize = size;
    if (m_tap) {
        m_buffer->SetTap(m_tap);
    }
    if (m_tick) {
        m_buffer->SetTick(m_tick);
    }
    m_buffer->SetVolume(kSilent);
    m_buffer->SetFrequency(static_cast<int>(wave.nSamplesPerSec));
    ClearBuffer();
    return 1;
}

int CDxSoundEx::DeleteDSBuffer() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    StopPlaying();
    m_buffer.reset();
    return 1;
}

int CDxSoundEx::ClearBuffer() {
    if (!m_buffer) {
        return 0;
    }
    m_buffer->Silence();
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
    const unsigned long size = static_cast<unsigned long>(wave.wBitsPerSample) *
                               wave.nAvgBytesPerSec *
                               static_cast<unsigned long>(std::max(secondsFactor, 0)) / 8;
    if (wave.wFormatTag != m_format.wFormatTag || wave.wBitsPerSample != m_format.wBitsPerSample ||
        size != m_bufferSize) {
        return -1;
    }
    return wave.nSamplesPerSec == m_format.nSamplesPerSec ? 0 : -1;
}

void CDxSoundEx::PlayStart() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    StartPlaying();
}

// Plays from the play position at the volume the fade-in has reached (silence after a stop).
void CDxSoundEx::StartPlaying() {
    if (!m_buffer || m_playing) {
        return;
    }
    m_buffer->SetVolume(m_mute ? kSilent : m_currentVolume.load());
    m_buffer->SetPlayCursor(m_playPosition);
    m_buffer->Play();
    m_playing = true;
}

int CDxSoundEx::PlayStop() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    StopPlaying();
    return 1;
}

// Silences and stops the buffer and empties the queue. The buffer's Stop waits for a copy in
// progress, so nothing queued before the stop is played after it.
void CDxSoundEx::StopPlaying() {
    if (!m_playing) {
        return;
    }
    if (m_buffer) {
        m_buffer->SetVolume(kSilent);
        m_buffer->Stop();
    }
    m_currentVolume = kSilent;
    m_primed = false;
    m_playing = false;
    ClearBuffer();
}

bool CDxSoundEx::DeviceRunning() {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    return m_buffer && m_buffer->IsPlaying();
}

int CDxSoundEx::SetFadeIn(int value) {
    m_fadeIn = value;
    return 1;
}

// The append and the start that may follow it are one step under the lock, so that a stop
// from the feeding thread comes wholly before or wholly after them.
int CDxSoundEx::SetAudioBuffer(const unsigned char* data, int length, int start) {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (data == nullptr) {
        if (start == 1) {
            StartPlaying();
        }
        return 1;
    }
    if (!Append(data, length)) {
        return 0;
    }
    if (start != 0) {
        StartPlaying();
    }
    return 1;
}

// Queues the bytes at the write position, going on from the beginning of the buffer when they
// reach its end. More than the whole buffer cannot be queued.
bool CDxSoundEx::Append(const unsigned char* data, int length) {
    if (!m_buffer || length < 0 || static_cast<unsigned long>(length) > m_bufferSize) {
        return false;
    }
    const auto bytes = static_cast<unsigned long>(length);
    if (bytes > 0 && !m_buffer->Write(m_writePosition, data, bytes)) {
        return false;
    }
    m_writePosition = (m_writePosition + bytes) % m_bufferSize;
    return true;
}

int CDxSoundEx::CheckDxBuffer(unsigned long limit) {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (!m_buffer) {
        return 0;
    }
    UpdateGap();
    return limit < m_gap ? 1 : 0;
}

// The bytes queued between the device's play cursor and the write position.
void CDxSoundEx::UpdateGap() {
    m_playPosition = static_cast<unsigned long>(m_buffer->PlayCursor());
    m_gap = m_writePosition >= m_playPosition ? m_writePosition - m_playPosition
                                              : m_writePosition + m_bufferSize - m_playPosition;
}

// The check and the stop are one step under the lock: an append between them would otherwise
// be cleared away by the stop. Counts the stop as a dry stop.
void CDxSoundEx::StopWhenDry(unsigned long limit) {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    if (!m_buffer || !m_playing) {
        return;
    }
    UpdateGap();
    if (m_gap > limit) {
        return;
    }
    ++m_dryStops; // counted before "playing" clears, so whoever sees the stop sees the count
    StopPlaying();
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

void CDxSoundEx::SetDeviceTick(tachy::SoundBuffer::Tick tick) {
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    m_tick = std::move(tick);
    if (m_buffer) {
        m_buffer->SetTick(m_tick);
    }
}

// Every millisecond: stop when the queue ran dry, prime when enough is queued, and fade the
// volume in after a start.
void CDxSoundEx::Feed() {
    auto fadeBegan = std::chrono::steady_clock::now();
    while (!m_stopRequest) {
        const unsigned long threshold = m_threshold;
        if (m_playing && m_primed) {
            StopWhenDry(threshold / 4);
        } else if (CheckDxBuffer(threshold) == 1) {
            m_primed = true;
        }
        FadeIn(fadeBegan);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The volume rises from silence to the target along FadeLevel; the level is set under the lock
// and only while playing, so a stop is never followed by a fade step.
void CDxSoundEx::FadeIn(std::chrono::steady_clock::time_point& fadeBegan) {
    const auto now = std::chrono::steady_clock::now();
    const std::lock_guard<std::mutex> guard(m_bufferLock);
    const int target = m_targetVolume;
    if (!m_playing || m_mute || m_currentVolume == target) {
        fadeBegan = now;
        return;
    }
    const auto since =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - fadeBegan).count();
    m_currentVolume = FadeLevel(target, since);
    if (m_buffer) {
        m_buffer->SetVolume(m_currentVolume);
    }
}
