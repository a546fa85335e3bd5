#include "viewer/list/ListFormats.h"

#include "tests/viewer/list/TestEntries.h"

#include <gtest/gtest.h>

namespace tachy::viewer {
namespace {

using test::kMarch10;
using test::makeEntry;

TEST(ListDuration, RemainderOfExactly500IsNotRoundedUp) {
    EXPECT_EQ(RoundedDurationSeconds(makeEntry(0, 1'000, 61'500)), 60);
}

TEST(ListDuration, RemainderOf501IsRoundedUp) {
    EXPECT_EQ(RoundedDurationSeconds(makeEntry(0, 1'000, 61'501)), 61);
    EXPECT_EQ(RoundedDurationSeconds(makeEntry(0, 1'200, 61'701)), 61);
}

TEST(ListDuration, EndMillisecondBelowStartMillisecondBorrowsASecond) {
    // 10.900 s to 70.100 s lasts 59.2 s: 59, not the 60 the second fields alone suggest.
    EXPECT_EQ(RoundedDurationSeconds(makeEntry(0, 10'900, 70'100)), 59);
    // 10.300 s to 70.100 s lasts 59.8 s: rounded up to 60.
    EXPECT_EQ(RoundedDurationSeconds(makeEntry(0, 10'300, 70'100)), 60);
}

TEST(ListDuration, EndBeforeStartCountsAsZero) {
    EXPECT_EQ(RoundedDurationSeconds(makeEntry(0, 70'000, 10'000)), 0);
}

TEST(ListDuration, TextShowsMinutesWithinTheHourAndSeconds) {
    EXPECT_EQ(DurationText(0), "00:00");
    EXPECT_EQ(DurationText(61), "01:01");
    EXPECT_EQ(DurationText(3599), "59:59");
    EXPECT_EQ(DurationText(3661), "01:01");
}

TEST(ListColumns, DateAndTimeAreUtcCalendarTexts) {
    EXPECT_EQ(StartDateText(kMarch10 / 1000, 0), "20240310");
    EXPECT_EQ(StartTimeText(kMarch10 / 1000, 0), "131509");
    EXPECT_EQ(StartDateText(0, 5), "19700101");
}

TEST(ListColumns, Model401UsesDashesAndColons) {
    EXPECT_EQ(StartDateText(kMarch10 / 1000, 401), "2024-03-10");
    EXPECT_EQ(StartTimeText(kMarch10 / 1000, 401), "13:15:09");
}

TEST(ListColumns, FileNameIsThePartAfterTheLastSeparator) {
    EXPECT_EQ(FileNameText("/media/card/normal/TCY_0001_N.avi", 0), "TCY_0001_N.avi");
    EXPECT_EQ(FileNameText("TCY_0001_N.avi", 0), "TCY_0001_N.avi");
    EXPECT_EQ(FileNameText("", 0), "");
}

TEST(ListColumns, Model401LeavesTheFileNameEmpty) {
    EXPECT_EQ(FileNameText("/media/card/normal/TCY_0001_N.avi", 401), "");
}

TEST(ListColumns, RowTextsUseTheCurrentFileOfTheFirstChannel) {
    CTimeList entry = makeEntry(1, kMarch10, kMarch10 + 59'700, 7, "/card/event/first.avi");
    entry.m_fileList[0].push_back("/card/event/second.avi");
    entry.m_nCurrentFileNumber[0] = 8;
    const RowTexts texts = MakeRowTexts(entry, "Event", 0);
    EXPECT_EQ(texts[0], "Event");
    EXPECT_EQ(texts[1], "20240310");
    EXPECT_EQ(texts[2], "131509");
    EXPECT_EQ(texts[3], "01:00");
    EXPECT_EQ(texts[4], "second.avi");
}

TEST(ListColumns, RowTextsOfModel401) {
    const CTimeList entry = makeEntry(0, kMarch10, kMarch10 + 30'000, 1, "/card/normal/a.avi");
    const RowTexts texts = MakeRowTexts(entry, "Normal", 401);
    EXPECT_EQ(texts[1], "2024-03-10");
    EXPECT_EQ(texts[2], "13:15:09");
    EXPECT_EQ(texts[3], "00:30");
    EXPECT_EQ(texts[4], "");
}

TEST(ListLook, VisibleRowsAndHorizontalScrollFollowTheModel) {
    for (int model : {1, 5, 6}) {
        EXPECT_EQ(VisibleRowsForModel(model), 13) << model;
        EXPECT_TRUE(HorizontalScrollForModel(model)) << model;
    }
    for (int model : {7, 400}) {
        EXPECT_EQ(VisibleRowsForModel(model), 12) << model;
        EXPECT_TRUE(HorizontalScrollForModel(model)) << model;
    }
    EXPECT_EQ(VisibleRowsForModel(401), 11);
    EXPECT_TRUE(HorizontalScrollForModel(401));
    for (int model : {0, 2, 3, 4, 8, 402}) {
        EXPECT_EQ(VisibleRowsForModel(model), 13) << model;
        EXPECT_FALSE(HorizontalScrollForModel(model)) << model;
    }
}

} // namespace
} // namespace tachy::viewer
