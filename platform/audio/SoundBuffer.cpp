#include "platform/audio/SoundBuffer.h"

#include "platform/debug/DebugOut.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tachy {

SoundBuffer::SoundBuffer(const Format& format, std::size_t bytes)
    : m_format(format), m_ring(bytes, 0) {}

std::unique_ptr<SoundBuffer> SoundBuffer::Create(const Format& format, std::size_t bytes) {
    if (bytes == 0 || format.sampleRate <= 0 || format.channels <= 0 ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        DebugOut::printf("SoundBuffer: no audio: %s\n", SDL_GetError());
        return nullptr;
    }
    // The constructor is private, out of make_unique's reach.
    std::unique_ptr<SoundBuffer> buffer(new SoundBuffer(format, bytes)); // NOLINT
    SDL_AudioSpec wanted{};
    wanted.freq = format.sampleRate;
    wanted.format = format.bitsPerSample == 16 ? AUDIO_S16SYS : AUDIO_U8;
    wanted.channels = static_cast<Uint8>(format.channels);
    // About 16 ms per callback at the recorder's rates, so the play cursor moves smoothly.
    wanted.samples = format.sampleRate <= 16000 ? 128 : 512;
    wanted.callback = &SoundBuffer::Callback;
    wanted.userdata = buffer.get();
    SDL_AudioSpec obtained{};
    buffer->m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (buffer->m_device == 0) {
        DebugOut::printf("SoundBuffer: cannot open the audio device: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(buffer->m_device, 0); // the callback runs; it plays silence until Play
    return buffer;
}

bool SoundBuffer::DeviceAvailable() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        DebugOut::printf("SoundBuffer: no audio: %s\n", SDL_GetError());
        return false;
    }
    // The device stays paused, so the callback is never called; SDL converts from any format
    // the device prefers, so one plain format answers for all.
    SDL_AudioSpec wanted{};
    wanted.freq = 8000;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = 128;
    wanted.callback = [](void*, Uint8* stream, int length) {
        std::memset(stream, 0, static_cast<std::size_t>(length));
    };
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) {
        DebugOut::printf("SoundBuffer: cannot open the audio device: %s\n", SDL_GetError());
    } else {
        SDL_CloseAudioDevice(device);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return device != 0;
}

SoundBuffer::~SoundBuffer() {
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device); // waits for a running callback to finish
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SoundBuffer::Callback(void* user, std::uint8_t* stream, int length) {
    static_cast<SoundBuffer*>(user)->Fill(stream, static_cast<std::size_t>(length));
}

void SoundBuffer::Fill(std::uint8_t* stream, std::size_t length) {
    const std::uint8_t silence = m_format.bitsPerSample == 16 ? 0 : 0x80;
    {
        // Playing is checked under the lock that Stop takes: a stop cannot fall between the
        // check and the copy, so a stopped buffer's cursor stays where the stop left it.
        const std::lock_guard<std::mutex> guard(m_lock);
        if (m_tick) {
            m_tick(length);
        }
        if (!m_playing) {
            std::memset(stream, silence, length);
            return;
        }
        std::size_t done = 0;
        while (done < length) {
            const std::size_t run = std::min(length - done, m_ring.size() - m_cursor);
            std::memcpy(stream + done, m_ring.data() + m_cursor, run);
            if (m_tap) {
                m_tap(m_ring.data() + m_cursor, run);
            }
            done += run;
            m_cursor = (m_cursor + run) % m_ring.size();
        }
    }
    const int volume = m_volume;
    if (volume >= 0) {
        return;
    }
    const double gain = volume <= kSilent ? 0.0 : std::pow(10.0, volume / 2000.0);
    if (m_format.bitsPerSample == 16) {
        for (std::size_t i = 0; i + 1 < length; i += 2) {
            std::int16_t sample = 0;
            std::memcpy(&sample, stream + i, 2);
            sample = static_cast<std::int16_t>(std::lround(sample * gain));
            std::memcpy(stream + i, &sample, 2);
        }
    } else {
        for (std::size_t i = 0; i < length; ++i) {
            stream[i] = static_cast<std::uint8_t>(std::lround((stream[i] - 128) * gain) + 128);
        }
    }
}

bool SoundBuffer::Write(std::size_t offset, const std::uint8_t* data, std::size_t bytes) {
    if (offset >= m_ring.size() || bytes > m_ring.size()) {
        return false;
    }
    const std::lock_guard<std::mutex> guard(m_lock);
    const std::size_t first = std::min(bytes, m_ring.size() - offset);
    std::memcpy(m_ring.data() + offset, data, first);
    std::memcpy(m_ring.data(), data + first, bytes - first);
    return true;
}

void SoundBuffer::Silence() {
    const std::lock_guard<std::mutex> guard(m_lock);
    std::fill(m_ring.begin(), m_ring.end(), m_format.bitsPerSample == 16 ? 0 : 0x80);
}

void SoundBuffer::Play() {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_playing = true;
}

// Waits for a copy in progress: when it returns, the device takes nothing more from the ring.
void SoundBuffer::Stop() {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_playing = false;
}

std::size_t SoundBuffer::PlayCursor() {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_cursor;
}

void SoundBuffer::SetPlayCursor(std::size_t position) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_cursor = position % m_ring.size();
}

void SoundBuffer::SetVolume(int hundredthsOfDecibel) {
    m_volume = std::clamp(hundredthsOfDecibel, kSilent, 0);
}

void SoundBuffer::SetTap(Tap tap) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_tap = std::move(tap);
}

void SoundBuffer::SetTick(Tick tick) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_tick = std::move(tick);
}

} // namespace tachy
