#include "platform/ipc/NamedEvent.h"
#include "platform/ipc/NamedMutex.h"
#include "platform/process/Process.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace std::chrono_literals;
using tachy::NamedEvent;
using tachy::NamedMutex;
using tachy::Process;

namespace {

// Event names unique to this test process, removed again at the end.
class NamedObjects : public testing::Test {
protected:
    std::string name(const std::string& base) {
        std::string full = base + "-" + std::to_string(::getpid());
        m_names.push_back(full);
        return full;
    }
    void TearDown() override {
        for (const auto& name : m_names) {
            NamedEvent::remove(name);
        }
    }

    int runHelper(const std::vector<std::string>& arguments) {
        Process helper;
        if (!helper.start(TACHY_TEST_HELPER, arguments)) {
            return -1;
        }
        EXPECT_EQ(helper.wait(10s), Process::WaitResult::Exited);
        return helper.exitCode();
    }

private:
    std::vector<std::string> m_names;
};

} // namespace

TEST_F(NamedObjects, SecondMutexOfANameSeesTheFirstInThisAndOtherProcesses) {
    const std::string mutexName = name("Tachy Player/../x");
    {
        const NamedMutex first(mutexName);
        EXPECT_TRUE(first.isOwner());
        EXPECT_FALSE(first.alreadyExists());
        const NamedMutex second(mutexName);
        EXPECT_TRUE(second.alreadyExists());
        EXPECT_FALSE(second.isOwner());
        EXPECT_EQ(runHelper({"check-mutex", mutexName}), 3);
    }
    // Once the holder is gone the name is free again.
    EXPECT_EQ(runHelper({"check-mutex", mutexName}), 4);
}

TEST_F(NamedObjects, MutexHeldByAnotherProcessIsFreedWhenItEnds) {
    const std::string mutexName = name("held");
    const std::string ready = name("ready");
    const std::string release = name("release");
    NamedEvent readyEvent(ready);
    NamedEvent releaseEvent(release);
    Process holder;
    ASSERT_TRUE(holder.start(TACHY_TEST_HELPER, {"hold-mutex", mutexName, ready, release}));
    ASSERT_EQ(readyEvent.wait(10s), NamedEvent::WaitResult::Signaled);
    EXPECT_TRUE(NamedMutex(mutexName).alreadyExists());
    releaseEvent.set();
    ASSERT_EQ(holder.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(holder.exitCode(), 0);
    EXPECT_TRUE(NamedMutex(mutexName).isOwner());
}

TEST_F(NamedObjects, EventSignalsAnotherProcessOnce) {
    const std::string eventName = name("IPC_SHARED_ACCESS");
    NamedEvent event(eventName);
    ASSERT_TRUE(event.isValid());
    // Set twice before anyone waits: an auto-reset event holds a single signal.
    EXPECT_EQ(runHelper({"signal", eventName}), 0);
    EXPECT_EQ(runHelper({"signal", eventName}), 0);
    EXPECT_EQ(event.wait(1s), NamedEvent::WaitResult::Signaled);
    EXPECT_EQ(event.wait(20ms), NamedEvent::WaitResult::TimedOut);
}

TEST_F(NamedObjects, WaitingProcessWakesWhenThisOneSets) {
    const std::string eventName = name("IPC_SHARED_EVT_SETUP");
    NamedEvent event(eventName);
    Process waiter;
    ASSERT_TRUE(waiter.start(TACHY_TEST_HELPER, {"wait", eventName, "10000"}));
    event.set();
    ASSERT_EQ(waiter.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(waiter.exitCode(), 0);
    EXPECT_EQ(runHelper({"wait", eventName, "20"}), 1);
}
