#include "platform/audio/SoundBuffer.h"

#include "platform/debug/DebugOut.h"

#include <SDL2/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tachy {

SoundBuffer::SoundBuffer(const Format& format, std::size_t bytes) : m_format(format), m_ring(bytes, 0) {}

std::unique_ptr<SoundBuffer> SoundBuffer::Create(const Format& format, std::size_t bytes) {
    if (bytes == 0 || format.sampleRate <= 0 || format.channels <= 0 ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        DebugOut::printf("SoundBuffer: no audio: %s\n", SDL_GetError());
        return nullptr;
    }
    std::unique_ptr<SoundBuffer> buffer(new SoundBuffer(format, bytes));  // NOLINT: private constructor
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
    SDL_PauseAudioDevice(buffer->m_device, 0);  // the callback runs; it plays silence until Play
    return buffer;
}

SoundBuffer::~SoundBuffer() {
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);  // waits for a running callback to finish
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SoundBuffer::Callback(void* user, std::uint8_t* stream, int length) {
    static_cast<SoundBuffer*>(user)->Fill(stream, static_cast<std::size_t>(length));
}

void SoundBuffer::Fill(std::uint8_t* stream, std::size_t length) {
    const std::uint8_t silence = m_format.bitsPerSample == 16 ? 0 : 0x80;
    if (!m_playing) {
        std::memset(stream, silence, length);
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_lock);
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

bool SoundBuffer::Lock(std::size_t offset, std::size_t bytes, std::uint8_t*& first, std::size_t& firstBytes,
                       std::uint8_t*& second, std::size_t& secondBytes) {
    if (offset >= m_ring.size() || bytes > m_ring.size()) {
        return false;
    }
    m_lock.lock();
    first = m_ring.data() + offset;
    firstBytes = std::min(bytes, m_ring.size() - offset);
    second = bytes > firstBytes ? m_ring.data() : nullptr;
    secondBytes = bytes - firstBytes;
    return true;
}

void SoundBuffer::Unlock() {
    m_lock.unlock();
}

void SoundBuffer::Play() {
    m_playing = true;
}

void SoundBuffer::Stop() {
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

} // namespace tachy
