// The driving feed between the engine's clock thread and the window: a new entry is reported
// once, the last frame keeps its driving record, forgetting clears what it should, and readers
// on another thread never see a half-written value (the suite also runs under ThreadSanitizer).

#include "viewer/main/DrivingFeed.h"
#include "tests/viewer/driving/DrivingRecordsFixture.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using tachy::test::EngineRecord;
using tachy::test::GpsBytes;

namespace {

// Ten records whose speed is their index, over `frames` video frames of list entry `index`.
struct Entry {
    std::vector<_DRIVING_RECORD> records;
    _FRAME_INFO frame{};

    Entry(int index, int frames) {
        for (int i = 0; i < 10; ++i) {
            records.push_back(EngineRecord(
                GpsBytes(0.0f, 0.0f, 1.0f, static_cast<float>(i), 3700.0f, -12200.0f)));
        }
        frame.fileInfo.nListIndex = index;
        frame.fileInfo.nFrames = frames;
        frame.records = records.data();
        frame.nRecordCount = static_cast<int>(records.size());
        frame.nRecordSize = sizeof(_DRIVING_RECORD);
    }

    const _FRAME_INFO& At(int position) {
        frame.nFramePosition = position;
        return frame;
    }
};

} // namespace

TEST(DrivingFeed, ANewEntryIsReportedOnceAndItsValuesFollowThePicture) {
    viewer::DrivingFeed feed;
    Entry first(0, 10);
    EXPECT_TRUE(feed.OnFrame(first.At(0)).newEntry);
    const viewer::DrivingFeed::Step step = feed.OnFrame(first.At(7));
    EXPECT_FALSE(step.newEntry);
    EXPECT_EQ(step.values.framePosition, 7);
    EXPECT_EQ(feed.Values().framePosition, 7);
    EXPECT_EQ(feed.LastFrame().nFramePosition, 7);
    std::vector<viewer::driving::DrivingDataRecord> records;
    EXPECT_EQ(feed.CopyRecords(records), 10);
    EXPECT_EQ(records.size(), 10u);
    Entry second(1, 20);
    EXPECT_TRUE(feed.OnFrame(second.At(0)).newEntry);
}

TEST(DrivingFeed, ForgettingTheEntryLoadsItAgainAndKeepsTheLastPictureUnlessAsked) {
    viewer::DrivingFeed feed;
    Entry entry(3, 10);
    feed.OnFrame(entry.At(4));
    feed.ForgetEntry(false);
    EXPECT_EQ(feed.Values().framePosition, 4); // a paused picture still has its values
    EXPECT_TRUE(feed.OnFrame(entry.At(5)).newEntry);
    feed.ForgetEntry(true);
    EXPECT_EQ(feed.Values().framePosition, 0);
    EXPECT_FALSE(feed.Values().hasRecord);
    EXPECT_EQ(feed.LastFrame().records, nullptr);
}

TEST(DrivingFeed, ReadersOnTheWindowThreadRunBesideTheClockThread) {
    viewer::DrivingFeed feed;
    Entry a(0, 10);
    Entry b(1, 10);
    std::atomic<bool> done{false};
    std::thread clock([&] {
        for (int i = 0; i < 2000; ++i) {
            feed.OnFrame((i / 100) % 2 == 0 ? a.At(i % 10) : b.At(i % 10));
        }
        done = true;
    });
    std::vector<viewer::driving::DrivingDataRecord> records;
    int reads = 0;
    // At least a hundred reads, however soon the clock thread is done on a loaded machine.
    while (!done || reads < 100) {
        const int position = feed.Values().framePosition;
        EXPECT_GE(position, 0);
        EXPECT_LT(position, 10);
        // Before the first frame and after a forget there is no entry; otherwise all of one.
        const int frames = feed.CopyRecords(records);
        EXPECT_TRUE(frames == 0 || frames == 10) << frames;
        EXPECT_TRUE(records.empty() || records.size() == 10u) << records.size();
        if (++reads % 50 == 0) {
            feed.ForgetEntry(false);
        }
    }
    clock.join();
    EXPECT_GT(reads, 0);
}
