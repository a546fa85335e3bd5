#include "cli/Interruption.h"

#include "cli/ExitCodes.h"

#include <atomic>

namespace tachy::cli {
namespace {

// The signal that arrived, 0 while none did; written by the handler, read by the work's loop.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free data");

extern "C" void OnSignal(int number) {
    int none = 0;
    if (!g_signal.compare_exchange_strong(none, number)) {
        // A second signal: the user does not want to wait for the work to stop.
        std::signal(number, SIG_DFL);
        std::raise(number);
    }
}

} // namespace

Interruption::Interruption() {
    g_signal.store(0);
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // reads and writes under way go on; the loop sees the flag
    sigaction(SIGINT, &action, &m_formerInterrupt);
    sigaction(SIGTERM, &action, &m_formerTerminate);
    // A signal the program was started to ignore (a background job's Ctrl-C) stays ignored.
    if (m_formerInterrupt.sa_handler == SIG_IGN) {
        sigaction(SIGINT, &m_formerInterrupt, nullptr);
    }
    if (m_formerTerminate.sa_handler == SIG_IGN) {
        sigaction(SIGTERM, &m_formerTerminate, nullptr);
    }
}

Interruption::~Interruption() {
    sigaction(SIGINT, &m_formerInterrupt, nullptr);
    sigaction(SIGTERM, &m_formerTerminate, nullptr);
}

bool Interruption::Requested() const {
    return g_signal.load() != 0;
}

int Interruption::ExitCode() const {
    return kExitSignalBase + g_signal.load();
}

} // namespace tachy::cli
