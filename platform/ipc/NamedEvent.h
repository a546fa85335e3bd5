#pragma once
// A named auto-reset event shared between processes of the same user: set() signals it, and
// one wait() consumes the signal; several set() calls before a wait count as one. Runs on a
// POSIX named semaphore, which outlives the processes that use it, so a signal set while the
// other program was busy is still there when it next waits.

#include <chrono>
#include <semaphore.h>
#include <string>
#include <string_view>

namespace tachy {

class NamedEvent {
public:
    enum class WaitResult { Signaled, TimedOut, Failed };

    explicit NamedEvent(std::string_view name);
    ~NamedEvent();
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    bool isValid() const { return m_semaphore != SEM_FAILED; }
    bool set();
    WaitResult wait(std::chrono::milliseconds timeout);

    // Removes the name from the system (objects already open keep working).
    static bool remove(std::string_view name);
    static std::string systemName(std::string_view name);

private:
    sem_t* m_semaphore = SEM_FAILED;
};

} // namespace tachy
