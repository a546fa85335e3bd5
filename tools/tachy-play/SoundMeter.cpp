#include "tools/tachy-play/SoundMeter.h"

namespace tachy::play {

void SoundMeter::OnCopy(std::size_t bytes) {
    const auto now = std::chrono::steady_clock::now();
    const int rate = m_bytesPerSecond;
    if (m_lastBytes > 0 && rate > 0) {
        const double expected = static_cast<double>(m_lastBytes) * 1e6 / rate;
        const auto took = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(now - m_lastCopy).count());
        // A copy more than twice as late as the one before needed follows a stop, not a slow clock.
        if (took < 2 * expected) {
            m_lagMicros += static_cast<std::int64_t>(took - expected);
        }
    }
    m_lastCopy = now;
    m_lastBytes = bytes;
    m_consumed += bytes;
}

} // namespace tachy::play
