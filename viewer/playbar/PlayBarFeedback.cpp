#include "viewer/playbar/PlayBarFeedback.h"

#include <utility>

namespace viewer::playbar {

bool PlayBarFeedback::Flag(unsigned bit) {
    m_pending.flags |= bit;
    const bool mustQueue = !m_queued;
    m_queued = true;
    return mustQueue;
}

bool PlayBarFeedback::PostNewFile(NewFile file) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_pending.file = std::move(file);
    return Flag(kNewFile);
}

bool PlayBarFeedback::PostPosition(const Position& position) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_pending.position = position;
    return Flag(kPosition);
}

bool PlayBarFeedback::PostState(int state) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_pending.state = state;
    return Flag(kState);
}

PlayBarFeedback::Pending PlayBarFeedback::Take() {
    const std::lock_guard<std::mutex> guard(m_lock);
    Pending taken = std::move(m_pending);
    m_pending = Pending{};
    m_queued = false;
    return taken;
}

void PlayBarFeedback::DiscardPlayback() {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_pending.flags &= ~(kNewFile | kPosition);
    m_pending.file = NewFile{};
}

} // namespace viewer::playbar
