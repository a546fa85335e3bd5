#include "tools/tachy-play/SoundMeter.h"

namespace tachy::play {

void SoundMeter::OnCopy(std::size_t bytes) {
    m_consumed += bytes;
}

// At each callback the device has played everything it asked for before: the steady time since
// the first callback, less the playing time of those bytes, is how late the device's clock is.
void SoundMeter::OnTickAt(std::size_t bytes, Clock::time_point now) {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (m_bytesPerSecond <= 0) {
        return;
    }
    if (!m_ticking) {
        m_ticking = true;
        m_firstTick = now;
        m_ticked = bytes;
        return;
    }
    const double passed = std::chrono::duration<double, std::milli>(now - m_firstTick).count();
    m_lagMs = passed - static_cast<double>(m_ticked) * 1000.0 / m_bytesPerSecond;
    m_ticked += bytes;
}

void SoundMeter::SetBytesPerSecond(int bytesPerSecond) {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (bytesPerSecond == m_bytesPerSecond) {
        return;
    }
    m_bytesPerSecond = bytesPerSecond;
    m_earlierLagMs += m_lagMs;
    m_lagMs = 0;
    m_ticking = false;
}

double SoundMeter::DeviceLagMs() const {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_earlierLagMs + m_lagMs;
}

} // namespace tachy::play
