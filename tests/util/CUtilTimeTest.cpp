#include "util/CUtilTime.h"

#include "tests/util/TimeZone.h"

#include <gtest/gtest.h>
#include <limits>

using tachy::test::ScopedTimeZone;

namespace {

constexpr std::int64_t kLeapDay = 1709211909;        // 2024-02-29 13:05:09 UTC
constexpr std::int64_t kJanuaryLast = 1706704445;    // 2024-01-31 12:34:05 UTC
constexpr std::int64_t kFebruaryFirst = 1706745600;  // 2024-02-01 00:00:00 UTC
constexpr std::int64_t kNewYearsEve = 1704067170;    // 2023-12-31 23:59:30 UTC

std::string text(int (CUtilTime::*operation)(std::int64_t, std::string&) const, std::int64_t t) {
    std::string buffer = "stale";
    (CUtilTime().*operation)(t, buffer);
    return buffer;
}

} // namespace

TEST(CUtilTime, SplitsIntoUtcFieldsWhateverTheTimeZone) {
    const ScopedTimeZone zone("KST-9");
    const CUtilTime time;
    EXPECT_EQ(time.GetYear(kLeapDay), 2024);
    EXPECT_EQ(time.GetMonth(kLeapDay), 2);
    EXPECT_EQ(time.GetDay(kLeapDay), 29);
    EXPECT_EQ(time.GetHour(kLeapDay), 13);
    EXPECT_EQ(time.GetMinute(kLeapDay), 5);
    EXPECT_EQ(time.GetSecond(kLeapDay), 9);
    EXPECT_EQ(time.GetYear(-1), 1969);
}

TEST(CUtilTime, FormatsTextsFromUtcFields) {
    const ScopedTimeZone zone("KST-9");
    EXPECT_EQ(text(&CUtilTime::GetDateTimeString, kLeapDay), "2024-02-29 13:05:09");
    EXPECT_EQ(text(&CUtilTime::GetDateString, kLeapDay), "2024-02-29");
    EXPECT_EQ(text(&CUtilTime::GetTimeString, kLeapDay), "13:05:09");
    EXPECT_EQ(text(&CUtilTime::GetTimeString2, kLeapDay), "PM 01:05:09");
    EXPECT_EQ(text(&CUtilTime::GetTimeString2, kFebruaryFirst), "AM 12:00:00");
    EXPECT_EQ(text(&CUtilTime::GetHourString, kLeapDay), "13");
    EXPECT_EQ(text(&CUtilTime::GetEndMinuteTimeString, kJanuaryLast), "12:34:59");
}

TEST(CUtilTime, RoundsInUtcWhenTheLocalZoneIsUtc) {
    const ScopedTimeZone zone("UTC0");
    const CUtilTime time;
    EXPECT_EQ(time.GetDate(kLeapDay), kLeapDay - (13 * 3600 + 5 * 60 + 9));
    EXPECT_EQ(time.GetDateNext(kJanuaryLast), kFebruaryFirst);
    EXPECT_EQ(time.GetDateNext(kNewYearsEve), kNewYearsEve + 30);  // into the next year
    EXPECT_EQ(time.GetNextMinute(kNewYearsEve), kNewYearsEve + 30);
    EXPECT_EQ(time.GetNextMinute(kLeapDay), kLeapDay + 51);
    EXPECT_EQ(time.MakeTime(2024, 2, 1, 0, 0, 0), kFebruaryFirst);
    EXPECT_EQ(time.MakeTime(2024, 1, 32, 0, 0, 0), kFebruaryFirst);  // normalised
}

TEST(CUtilTime, RebuildsFromFieldsInLocalTime) {
    // Nine hours east of UTC, the instant at which the local clock shows 2024-02-01 00:00:00
    // is nine hours before that UTC midnight.
    const ScopedTimeZone zone("KST-9");
    const CUtilTime time;
    EXPECT_EQ(time.MakeTime(2024, 2, 1, 0, 0, 0), kFebruaryFirst - 9 * 3600);
    EXPECT_EQ(time.GetDateNext(kJanuaryLast), kFebruaryFirst - 9 * 3600);
}

TEST(CUtilTime, ValuesBeyondTheCalendarFailCleanly) {
    const CUtilTime time;
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(time.GetYear(huge), -1);
    EXPECT_EQ(time.GetDate(huge), -1);
    std::string buffer = "stale";
    EXPECT_EQ(time.GetDateTimeString(huge, buffer), 0);
    EXPECT_EQ(buffer, "");
}
