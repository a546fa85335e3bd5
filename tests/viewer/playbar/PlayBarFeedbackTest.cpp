#include "viewer/playbar/PlayBarFeedback.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using viewer::playbar::PlayBarFeedback;

TEST(PlayBarFeedback, OnlyTheFirstPostAfterATakeQueuesACall) {
    PlayBarFeedback feedback;
    EXPECT_TRUE(feedback.PostPosition({10, 50, 100, 0}));
    EXPECT_FALSE(feedback.PostPosition({11, 51, 100, 33}));
    EXPECT_FALSE(feedback.PostState(2));
    const PlayBarFeedback::Pending pending = feedback.Take();
    EXPECT_EQ(pending.flags, PlayBarFeedback::kPosition | PlayBarFeedback::kState);
    EXPECT_EQ(pending.position.framePosition, 11); // the newest wins
    EXPECT_EQ(pending.position.millisecond, 33);
    EXPECT_EQ(pending.state, 2);
    EXPECT_EQ(feedback.Take().flags, 0u);
    EXPECT_TRUE(feedback.PostPosition({12, 0, 0, 0}));
}

// A writer thread and a reader that takes only when a call was queued: however the two
// interleave, the reader ends with the writer's last value and nothing is left unqueued.
TEST(PlayBarFeedback, NoPostIsLeftWithoutAQueuedCallUnderConcurrency) {
    PlayBarFeedback feedback;
    std::atomic<int> queued{0};
    std::atomic<bool> done{false};
    constexpr int kPosts = 20000;
    std::thread writer([&] {
        for (int i = 1; i <= kPosts; ++i) {
            if (feedback.PostPosition({i, 0, 0, 0})) {
                ++queued;
            }
        }
        done = true;
    });
    int last = 0;
    const auto drain = [&] {
        while (queued > 0) {
            --queued;
            const PlayBarFeedback::Pending pending = feedback.Take();
            if ((pending.flags & PlayBarFeedback::kPosition) != 0) {
                EXPECT_GT(pending.position.framePosition, last);
                last = pending.position.framePosition;
            }
        }
    };
    while (!done) {
        drain();
        std::this_thread::yield();
    }
    writer.join();
    drain();
    EXPECT_EQ(last, kPosts);
    EXPECT_EQ(feedback.Take().flags, 0u);
}
