#pragma once
// Watches what a sound output's device copies out: how many bytes it has played, and how far the
// device's own clock has fallen behind (or run ahead of) the steady clock.
// A test driver such as SDL's dummy paces itself with sleeps that run a little long, and on a
// busy machine its thread may be late by more than one callback; a sound card keeps its own
// crystal. Taking that lag out separates what the device does from what the engine and the
// feeding thread do.
// The device's clock is read from every callback, playing or not (the output's tick): the bytes
// the device asked for before a callback are the time it says has passed by then. A stop does
// not interrupt that count, so no pause in the copies has to be told apart from a late device.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace tachy::play {

class SoundMeter {
public:
    using Clock = std::chrono::steady_clock;

    // Called by the device's thread for every copy-out while playing (the output's tap).
    void OnCopy(std::size_t bytes);
    // Called by the device's thread for every callback, playing or not (the output's tick).
    void OnTick(std::size_t bytes) { OnTickAt(bytes, Clock::now()); }
    // The same with the time of the callback given (for tests).
    void OnTickAt(std::size_t bytes, Clock::time_point now);
    // The byte rate of what is playing; set before the device starts. A new rate starts the
    // device's clock again (a new device), keeping the lag measured so far.
    void SetBytesPerSecond(int bytesPerSecond);

    std::uint64_t Consumed() const { return m_consumed; }
    // Milliseconds by which the device's clock has fallen behind the steady clock since its
    // first callback (negative when it runs ahead).
    double DeviceLagMs() const;

private:
    std::atomic<std::uint64_t> m_consumed{0};
    mutable std::mutex m_lock;
    int m_bytesPerSecond = 0;      // guarded by m_lock
    bool m_ticking = false;        // a first callback was seen at this rate; guarded by m_lock
    Clock::time_point m_firstTick; // guarded by m_lock
    std::uint64_t m_ticked = 0;    // bytes asked for since the first callback; guarded by m_lock
    double m_lagMs = 0;            // as of the latest callback; guarded by m_lock
    // The lag of the device before a change of rate; guarded by m_lock.
    double m_earlierLagMs = 0;
};

} // namespace tachy::play
