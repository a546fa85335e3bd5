#pragma once
// A looping sound buffer played through SDL2's audio device: the owner writes PCM into the
// ring, the device's callback copies out from the play cursor while playing (silence
// otherwise), applies the volume, and advances the cursor. Works with any SDL audio driver, the
// dummy one included. Once Stop returns, the callback takes nothing more from the ring and
// leaves the cursor where it is.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tachy {

class SoundBuffer {
public:
    struct Format {
        int sampleRate = 0;
        int channels = 1;
        int bitsPerSample = 16; // 16 (signed) or 8 (unsigned)
    };
    // Called on the device's thread with every run of bytes copied out of the ring (before the
    // volume is applied): for tests that check what was played.
    using Tap = std::function<void(const std::uint8_t* bytes, std::size_t size)>;
    // Called on the device's thread once per callback with the bytes the device asked for,
    // playing or not: the device's own clock, for tools that compare it with the steady clock.
    using Tick = std::function<void(std::size_t size)>;

    static constexpr int kSilent = -10000; // hundredths of a decibel

    // Opens the default output device for the format; null (with the reason in DebugOut) when
    // there is none.
    static std::unique_ptr<SoundBuffer> Create(const Format& format, std::size_t bytes);
    // Whether the default output device can be opened at all (opened and closed again).
    static bool DeviceAvailable();
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    std::size_t Size() const { return m_ring.size(); }
    // Copies `bytes` bytes into the ring from `offset`, going on from the beginning when they
    // reach the end; false (nothing written) when the offset or the size does not fit the ring.
    bool Write(std::size_t offset, const std::uint8_t* data, std::size_t bytes);
    // Fills the whole ring with silence.
    void Silence();

    void Play();
    void Stop();
    bool IsPlaying() const { return m_playing; }
    std::size_t PlayCursor();
    void SetPlayCursor(std::size_t position);
    int Volume() const { return m_volume; }
    void SetVolume(int hundredthsOfDecibel);
    // The device runs at the format's rate; another rate is refused.
    bool SetFrequency(int hertz) const { return hertz == m_format.sampleRate; }
    void SetTap(Tap tap);
    void SetTick(Tick tick);

private:
    SoundBuffer(const Format& format, std::size_t bytes);
    static void Callback(void* user, std::uint8_t* stream, int length);
    void Fill(std::uint8_t* stream, std::size_t length);

    Format m_format;
    std::uint32_t m_device = 0;
    std::mutex m_lock;                  // guards the ring, the cursor, the tap and the tick
    std::vector<std::uint8_t> m_ring;   // guarded by m_lock
    std::size_t m_cursor = 0;           // guarded by m_lock
    Tap m_tap;                          // guarded by m_lock
    Tick m_tick;                        // guarded by m_lock
    std::atomic<bool> m_playing{false}; // written under m_lock, read by IsPlaying without it
    std::atomic<int> m_volume{kSilent};
};

} // namespace tachy
