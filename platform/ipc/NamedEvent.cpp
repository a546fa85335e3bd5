#include "platform/ipc/NamedEvent.h"

#include "platform/debug/DebugOut.h"
#include "platform/ipc/IpcName.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace tachy {

std::string NamedEvent::systemName(std::string_view name) {
    // Semaphore names hold at most 251 characters after the slash. They are scoped to the
    // user's session the way the lock files are, by the runtime folder: programs of one desktop
    // session meet, and test processes with runtime folders of their own do not.
    std::string full = "/tachy-" + std::to_string(::getuid()) + "-" + ipc::sessionTag() + "-" + ipc::safeName(name);
    if (full.size() > 251) {
        full.resize(251);
    }
    return full;
}

NamedEvent::NamedEvent(std::string_view name) {
    const std::string system = systemName(name);
    m_semaphore = ::sem_open(system.c_str(), O_CREAT, 0600, 0);
    if (m_semaphore == SEM_FAILED) {
        DebugOut::printf("NamedEvent: cannot open %s\n", system.c_str());
    }
}

NamedEvent::~NamedEvent() {
    if (m_semaphore != SEM_FAILED) {
        ::sem_close(m_semaphore);
    }
}

bool NamedEvent::set() {
    if (!isValid()) {
        return false;
    }
    // An auto-reset event holds at most one signal. Two processes setting at the same instant
    // may leave two; the cost is one extra wake-up, which every waiter tolerates.
    int value = 0;
    if (::sem_getvalue(m_semaphore, &value) == 0 && value > 0) {
        return true;
    }
    return ::sem_post(m_semaphore) == 0;
}

NamedEvent::WaitResult NamedEvent::wait(std::chrono::milliseconds timeout) {
    if (!isValid()) {
        return WaitResult::Failed;
    }
    timespec deadline{};
    ::clock_gettime(CLOCK_MONOTONIC, &deadline);
    const auto total = std::chrono::nanoseconds(timeout).count() + deadline.tv_nsec;
    deadline.tv_sec += static_cast<time_t>(total / 1'000'000'000);
    deadline.tv_nsec = static_cast<long>(total % 1'000'000'000);
    for (;;) {
        if (::sem_clockwait(m_semaphore, CLOCK_MONOTONIC, &deadline) == 0) {
            return WaitResult::Signaled;
        }
        if (errno == ETIMEDOUT) {
            return WaitResult::TimedOut;
        }
        if (errno != EINTR) {
            return WaitResult::Failed;
        }
    }
}

bool NamedEvent::remove(std::string_view name) {
    return ::sem_unlink(systemName(name).c_str()) == 0;
}

} // namespace tachy
