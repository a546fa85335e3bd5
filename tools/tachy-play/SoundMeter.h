#pragma once
// Watches what a sound output's device copies out: how many bytes it has played, and how far the
// device's own clock has fallen behind (or run ahead of) the steady clock while it played.
// A test driver such as SDL's dummy paces itself with sleeps that run a little long; a sound card
// keeps its own crystal. Taking that lag out separates what the device does from what the engine
// and the feeding thread do.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tachy::play {

class SoundMeter {
public:
    // Called by the device's thread for every copy-out (the output's tap).
    void OnCopy(std::size_t bytes);
    // The byte rate of what is playing; set before the device starts.
    void SetBytesPerSecond(int bytesPerSecond) { m_bytesPerSecond = bytesPerSecond; }

    std::uint64_t Consumed() const { return m_consumed; }
    // Milliseconds the device took beyond the playing time of what it copied, summed over copies
    // that followed one another without a pause (a stopped device does not count).
    double DeviceLagMs() const { return static_cast<double>(m_lagMicros.load()) / 1000.0; }

private:
    std::atomic<std::uint64_t> m_consumed{0};
    std::atomic<std::int64_t> m_lagMicros{0};
    std::atomic<int> m_bytesPerSecond{0};
    // Touched only by the device's thread.
    std::chrono::steady_clock::time_point m_lastCopy{};
    std::size_t m_lastBytes = 0;
};

} // namespace tachy::play
