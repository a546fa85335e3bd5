#include "viewer/list/TimeInterval.h"

#include "tests/viewer/list/TestEntries.h"

#include <gtest/gtest.h>

namespace tachy::viewer {
namespace {

TEST(IntervalRelation, SameStartComparesEnds) {
    EXPECT_EQ(RelateIntervals({10, 20}, {10, 20}), kIntervalEqual);
    EXPECT_EQ(RelateIntervals({10, 15}, {10, 20}), kIntervalSameStartEndsEarlier);
    EXPECT_EQ(RelateIntervals({10, 25}, {10, 20}), kIntervalSameStartEndsLater);
}

TEST(IntervalRelation, EarlierStartNamesHowTheIntervalsMeet) {
    EXPECT_EQ(RelateIntervals({5, 20}, {10, 20}), kIntervalStartsBeforeEndsTogether);
    EXPECT_EQ(RelateIntervals({5, 30}, {10, 20}), kIntervalContains);
    EXPECT_EQ(RelateIntervals({5, 15}, {10, 20}), kIntervalOverlaps);
    EXPECT_EQ(RelateIntervals({5, 10}, {10, 20}), kIntervalTouches);
    EXPECT_EQ(RelateIntervals({5, 8}, {10, 20}), kIntervalBefore);
}

TEST(IntervalRelation, LaterStartGivesTheMirroredNegativeCode) {
    EXPECT_EQ(RelateIntervals({10, 20}, {5, 20}), -kIntervalStartsBeforeEndsTogether);
    EXPECT_EQ(RelateIntervals({10, 20}, {5, 30}), -kIntervalContains);
    EXPECT_EQ(RelateIntervals({10, 20}, {5, 15}), -kIntervalOverlaps);
    EXPECT_EQ(RelateIntervals({10, 20}, {5, 10}), -kIntervalTouches);
    EXPECT_EQ(RelateIntervals({10, 20}, {5, 8}), -kIntervalBefore);
}

TEST(IntervalRelation, OnlyAStrictlyEarlierStartCountsAsEarlier) {
    EXPECT_TRUE(StartsEarlier({5, 8}, {10, 20}));
    EXPECT_TRUE(StartsEarlier({5, 30}, {10, 20}));
    EXPECT_FALSE(StartsEarlier({10, 15}, {10, 20}));
    EXPECT_FALSE(StartsEarlier({10, 25}, {10, 20}));
    EXPECT_FALSE(StartsEarlier({10, 20}, {10, 20}));
    EXPECT_FALSE(StartsEarlier({10, 20}, {5, 8}));
}

TEST(IntervalRelation, EntryIntervalCombinesSecondsAndMilliseconds) {
    const CTimeList entry = test::makeEntry(0, 61'250, 121'999);
    const TimeInterval interval = TimeInterval::of(entry);
    EXPECT_EQ(interval.start, 61'250);
    EXPECT_EQ(interval.end, 121'999);
}

} // namespace
} // namespace tachy::viewer
