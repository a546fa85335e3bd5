#include "viewer/map/MapConnectivity.h"

#include "platform/net/Reachability.h"

#include <condition_variable>
#include <mutex>

namespace viewer::map {

struct MapConnectivity::Shared {
    Shared(std::string hostName, std::string fallback)
        : host(std::move(hostName)), fallbackHost(std::move(fallback)), reachability(fallbackHost) {}

    const std::string host;
    const std::string fallbackHost;
    tachy::Reachability reachability;  // used by the worker only, but for Cancel()
    std::atomic<bool> online{false};
    std::atomic<int> checksRun{0};

    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable finished;
    bool checkEvent = false;        // guarded by lock
    bool exitEvent = false;         // guarded by lock
    bool running = false;           // guarded by lock
    MapStatusCallback callback = nullptr;  // guarded by lock
    void* user = nullptr;                  // guarded by lock
};

MapConnectivity::MapConnectivity(std::string host, std::string fallbackHost)
    : m_shared(std::make_shared<Shared>(std::move(host), std::move(fallbackHost))) {}

MapConnectivity::~MapConnectivity() {
    Stop();
}

void MapConnectivity::SetStatusCallback(MapStatusCallback callback, void* user) {
    const std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->callback = callback;
    m_shared->user = user;
}

void MapConnectivity::Start() {
    if (m_thread.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->running = true;
        m_shared->exitEvent = false;
    }
    m_thread = std::thread(&MapConnectivity::Run, m_shared);
}

void MapConnectivity::RequestCheck() {
    {
        const std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->checkEvent = true;
    }
    m_shared->wake.notify_all();
}

void MapConnectivity::Stop(std::chrono::milliseconds wait) {
    if (!m_thread.joinable()) {
        return;
    }
    std::unique_lock<std::mutex> guard(m_shared->lock);
    m_shared->exitEvent = true;
    m_shared->callback = nullptr;
    m_shared->user = nullptr;
    m_shared->reachability.Cancel();
    m_shared->wake.notify_all();
    const bool ended = m_shared->finished.wait_for(guard, wait, [this] { return !m_shared->running; });
    guard.unlock();
    if (ended) {
        m_thread.join();
    } else {
        m_thread.detach();
    }
}

int MapConnectivity::CheckNow() {
    tachy::Reachability reachability(m_shared->fallbackHost);
    return reachability.Check(m_shared->host);
}

void MapConnectivity::SetOnline(bool online) {
    m_shared->online = online;
}

bool MapConnectivity::Online() const {
    return m_shared->online;
}

int MapConnectivity::ChecksRun() const {
    return m_shared->checksRun;
}

void MapConnectivity::Run(std::shared_ptr<Shared> shared) {
    std::unique_lock<std::mutex> guard(shared->lock);
    for (;;) {
        shared->wake.wait(guard, [&] { return shared->checkEvent || shared->exitEvent; });
        if (shared->exitEvent) {
            break;
        }
        shared->checkEvent = false;
        guard.unlock();
        const int reachable = shared->reachability.Check(shared->host);
        ++shared->checksRun;
        guard.lock();
        if (reachable != 0 && !shared->online && shared->callback != nullptr && !shared->exitEvent) {
            // Called under the lock, so that a stopping owner never sees a call after Stop().
            shared->callback(0, 1, 0, shared->user);
        }
    }
    shared->running = false;
    shared->finished.notify_all();
}

} // namespace viewer::map
