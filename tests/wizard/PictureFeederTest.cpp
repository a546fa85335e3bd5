// The feeding thread: it feeds until told to stop, then ends within its bound and feeds no more.

#include "wizard/PictureFeeder.h"

#include "platform/debug/DebugOut.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

TEST(PictureFeeder, FeedsOverAndOverUntilStoppedThenEndsWithinItsBound) {
    std::mutex lock;
    std::condition_variable fed;
    int rounds = 0;
    PictureFeeder feeder([&] {
        const std::lock_guard<std::mutex> guard(lock);
        ++rounds;
        fed.notify_all();
    });
    EXPECT_FALSE(feeder.IsRunning());
    feeder.Start();
    EXPECT_TRUE(feeder.IsRunning());
    {
        std::unique_lock<std::mutex> wait(lock);
        fed.wait(wait, [&] { return rounds >= 5; });
    }
    EXPECT_TRUE(feeder.Stop());
    EXPECT_FALSE(feeder.IsRunning());
    int afterStop = 0;
    {
        const std::lock_guard<std::mutex> guard(lock);
        afterStop = rounds;
    }
    EXPECT_EQ(feeder.Rounds(), static_cast<std::uint64_t>(afterStop));
    EXPECT_GE(afterStop, 5);
    // Stopping again, or a feeder never started, is harmless.
    EXPECT_TRUE(feeder.Stop());
    PictureFeeder idle([] {});
    EXPECT_TRUE(idle.Stop());
}

TEST(PictureFeeder, ARoundThatOutlastsTheBoundIsReportedAndStillJoined) {
    std::mutex lock;
    std::condition_variable changed;
    bool inside = false;
    bool release = false;
    std::atomic<int> rounds{0};
    PictureFeeder feeder([&] {
        std::unique_lock<std::mutex> wait(lock);
        inside = true;
        changed.notify_all();
        changed.wait(wait, [&] { return release; });
        ++rounds;
    });
    // The round in hand is let go only once the stop has given up waiting and said so; the stop
    // must then still join the thread before it returns.
    std::vector<std::string> lines;
    const auto previous = tachy::DebugOut::setSink([&](std::string_view line) {
        lines.emplace_back(line);
        const std::lock_guard<std::mutex> guard(lock);
        release = true;
        changed.notify_all();
    });
    feeder.Start();
    {
        std::unique_lock<std::mutex> wait(lock);
        changed.wait(wait, [&] { return inside; });
    }
    const bool inTime = feeder.Stop(std::chrono::milliseconds(0));
    tachy::DebugOut::setSink(previous);
    EXPECT_FALSE(inTime);
    EXPECT_FALSE(feeder.IsRunning());
    EXPECT_EQ(rounds.load(), 1);
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_NE(lines[0].find("did not end within 0 ms"), std::string::npos) << lines[0];
}
