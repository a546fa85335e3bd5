#include "wizard/PictureFeeder.h"

#include "platform/debug/DebugOut.h"

PictureFeeder::PictureFeeder(Feed feed) : m_feed(std::move(feed)) {}

PictureFeeder::~PictureFeeder() {
    Stop();
}

void PictureFeeder::Start() {
    if (m_thread.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_stop = false;
        m_ended = false;
    }
    m_thread = std::thread([this] { Run(); });
}

void PictureFeeder::Run() {
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_stop) {
        lock.unlock();
        m_feed();
        lock.lock();
        ++m_rounds;
        m_changed.wait_for(lock, kPause, [this] { return m_stop; });
    }
    m_ended = true;
    m_changed.notify_all();
}

bool PictureFeeder::Stop(std::chrono::milliseconds bound) {
    if (!m_thread.joinable()) {
        return true;
    }
    bool inTime = false;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_stop = true;
        m_changed.notify_all();
        inTime = m_changed.wait_for(lock, bound, [this] { return m_ended; });
    }
    if (!inTime) {
        tachy::DebugOut::printf(
            "tachyWizard - the feeding thread did not end within %lld ms; waiting for it\n",
            static_cast<long long>(bound.count()));
    }
    m_thread.join();
    return inTime;
}

std::uint64_t PictureFeeder::Rounds() const {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_rounds;
}
