#include "setup/SetupWatcher.h"

#include "platform/ipc/NamedEvent.h"

#include <chrono>

namespace {

constexpr std::chrono::milliseconds kWaitStep{200};

} // namespace

SetupWatcher::SetupWatcher(std::function<void()> onSignal)
    : m_onSignal(std::move(onSignal)), m_event(std::make_unique<tachy::NamedEvent>(kEventName)) {
    if (m_event->isValid()) {
        m_thread = std::thread([this] { Run(); });
    }
}

SetupWatcher::~SetupWatcher() {
    Stop();
}

bool SetupWatcher::IsWatching() const {
    return m_thread.joinable();
}

void SetupWatcher::Stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void SetupWatcher::Run() {
    while (!m_stop) {
        switch (m_event->wait(kWaitStep)) {
        case tachy::NamedEvent::WaitResult::Signaled:
            if (!m_stop) {
                m_onSignal();
            }
            break;
        case tachy::NamedEvent::WaitResult::TimedOut:
            break;
        case tachy::NamedEvent::WaitResult::Failed:
            // A broken semaphore would fail at once every time: wait the step out instead.
            std::this_thread::sleep_for(kWaitStep);
            break;
        }
    }
}
