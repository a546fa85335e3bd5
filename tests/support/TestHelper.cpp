// A small program the tests start as a second process, to check what crosses between
// processes: named mutexes and events, exit codes, waits.
//   tachy_test_helper exit CODE
//   tachy_test_helper sleep MILLISECONDS
//   tachy_test_helper check-mutex NAME          exits 3 when NAME exists elsewhere, 4 when taken
//   tachy_test_helper hold-mutex NAME READY RELEASE
//                                              takes NAME, sets READY, waits (10 s at most) for
//                                              RELEASE; exits 0 when it held the name
//   tachy_test_helper signal EVENT
//   tachy_test_helper wait EVENT MILLISECONDS   exits 0 when signalled, 1 on time-out
//   tachy_test_helper pwd                       exits 0 when the working folder is $EXPECT_PWD

#include "platform/ipc/NamedEvent.h"
#include "platform/ipc/NamedMutex.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

int holdMutex(const char* name, const char* ready, const char* release) {
    const tachy::NamedMutex mutex(name);
    tachy::NamedEvent readyEvent(ready);
    tachy::NamedEvent releaseEvent(release);
    readyEvent.set();
    releaseEvent.wait(std::chrono::seconds(10));
    return mutex.isOwner() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "exit" && argc == 3) {
        return std::atoi(argv[2]);
    }
    if (mode == "sleep" && argc == 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
        return 0;
    }
    if (mode == "check-mutex" && argc == 3) {
        const tachy::NamedMutex mutex(argv[2]);
        return mutex.alreadyExists() ? 3 : (mutex.isOwner() ? 4 : 5);
    }
    if (mode == "hold-mutex" && argc == 5) {
        return holdMutex(argv[2], argv[3], argv[4]);
    }
    if (mode == "signal" && argc == 3) {
        return tachy::NamedEvent(argv[2]).set() ? 0 : 2;
    }
    if (mode == "wait" && argc == 4) {
        tachy::NamedEvent event(argv[2]);
        const auto result = event.wait(std::chrono::milliseconds(std::atoi(argv[3])));
        return result == tachy::NamedEvent::WaitResult::Signaled ? 0 : 1;
    }
    if (mode == "pwd") {
        const char* expected = std::getenv("EXPECT_PWD");
        return expected != nullptr &&
                       std::filesystem::equivalent(std::filesystem::current_path(), expected)
                   ? 0
                   : 1;
    }
    return 64;
}
