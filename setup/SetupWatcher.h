#pragma once
// Watches the named event "IPC_SHARED_EVT_SETUP", which the viewer sets after the user changed
// its language, on a thread of its own, and calls back on that thread when it is set. Each wait
// lasts at most 200 ms, so stopping (by the destructor) ends within one wait.

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace tachy {
class NamedEvent;
}

class SetupWatcher {
public:
    static constexpr const char* kEventName = "IPC_SHARED_EVT_SETUP";

    // `onSignal` runs on the watcher's thread; it must only post to the owner.
    explicit SetupWatcher(std::function<void()> onSignal);
    ~SetupWatcher();
    SetupWatcher(const SetupWatcher&) = delete;
    SetupWatcher& operator=(const SetupWatcher&) = delete;

    bool IsWatching() const;
    // Asks the thread to end and waits for it (at most one wait of 200 ms).
    void Stop();

private:
    void Run();

    std::function<void()> m_onSignal;           // immutable while the thread runs
    std::unique_ptr<tachy::NamedEvent> m_event; // used by the thread only once it runs
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
