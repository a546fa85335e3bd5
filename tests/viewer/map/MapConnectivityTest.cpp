// The map's connectivity worker against this machine's loopback address: the status callback
// when an offline map finds its host, silence when it is already online or the host is unknown,
// and a stop that does not wait for a check to finish.

#include "viewer/map/MapConnectivity.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using viewer::map::MapConnectivity;
using namespace std::chrono_literals;

namespace {

struct StatusRecorder {
    std::mutex lock;
    std::condition_variable changed;
    int calls = 0;
    int status = -1;
    int online = -1;
    int reserved = -1;
    void* user = nullptr;

    static void Callback(int status, int online, int reserved, void* user) {
        auto* self = static_cast<StatusRecorder*>(user);
        const std::lock_guard<std::mutex> guard(self->lock);
        ++self->calls;
        self->status = status;
        self->online = online;
        self->reserved = reserved;
        self->user = user;
        self->changed.notify_all();
    }
    int Calls() {
        const std::lock_guard<std::mutex> guard(lock);
        return calls;
    }
};

template <typename Done> bool waitUntil(Done done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(MapConnectivity, OfflineMapHearsWhenItsHostAnswers) {
    StatusRecorder recorder;
    MapConnectivity connectivity("127.0.0.1", "");
    connectivity.SetStatusCallback(&StatusRecorder::Callback, &recorder);
    connectivity.Start();
    connectivity.RequestCheck();
    ASSERT_TRUE(waitUntil([&] { return recorder.Calls() == 1; }, 60s));
    EXPECT_EQ(recorder.status, 0);
    EXPECT_EQ(recorder.online, 1);
    EXPECT_EQ(recorder.reserved, 0);
    EXPECT_EQ(recorder.user, &recorder);
    EXPECT_EQ(connectivity.CheckNow(), 1);
}

TEST(MapConnectivity, OnlineMapIsNotToldAgain) {
    StatusRecorder recorder;
    MapConnectivity connectivity("localhost", "");
    connectivity.SetStatusCallback(&StatusRecorder::Callback, &recorder);
    connectivity.SetOnline(true);
    connectivity.Start();
    connectivity.RequestCheck();
    ASSERT_TRUE(waitUntil([&] { return connectivity.ChecksRun() == 1; }, 60s));
    connectivity.Stop();
    EXPECT_EQ(recorder.Calls(), 0);
}

TEST(MapConnectivity, UnknownHostWithoutFallbackStaysOffline) {
    StatusRecorder recorder;
    MapConnectivity connectivity("no such host", "nor this one");
    connectivity.SetStatusCallback(&StatusRecorder::Callback, &recorder);
    connectivity.Start();
    connectivity.RequestCheck();
    ASSERT_TRUE(waitUntil([&] { return connectivity.ChecksRun() == 1; }, 60s));
    connectivity.Stop();
    EXPECT_EQ(recorder.Calls(), 0);
    EXPECT_EQ(connectivity.CheckNow(), 0);
}

TEST(MapConnectivity, ChecksAskedForTogetherRunOnce) {
    MapConnectivity connectivity("127.0.0.1", "");
    connectivity.SetOnline(true);
    // Asked for five times before the worker runs: the check event is a flag, not a count.
    for (int i = 0; i < 5; ++i) {
        connectivity.RequestCheck();
    }
    connectivity.Start();
    ASSERT_TRUE(waitUntil([&] { return connectivity.ChecksRun() >= 1; }, 60s));
    std::this_thread::sleep_for(100ms);
    connectivity.Stop();
    EXPECT_EQ(connectivity.ChecksRun(), 1);
}

TEST(MapConnectivity, StopIsBoundedAndSilencesTheCallback) {
    StatusRecorder recorder;
    {
        MapConnectivity connectivity("127.0.0.1", "");
        connectivity.SetStatusCallback(&StatusRecorder::Callback, &recorder);
        connectivity.Start();
        connectivity.RequestCheck();
        connectivity.Stop(1000ms);  // a Stop that never returned would meet the test's time limit
        const int callsAtStop = recorder.Calls();
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(recorder.Calls(), callsAtStop);
        // Stopping twice, and destroying after a stop, are harmless.
        connectivity.Stop();
    }
    EXPECT_LE(recorder.Calls(), 1);
}

} // namespace
