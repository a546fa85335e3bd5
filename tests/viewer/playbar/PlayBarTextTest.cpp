#include "viewer/playbar/PlayBarText.h"

#include <gtest/gtest.h>

using namespace viewer::playbar;

namespace {
constexpr std::int64_t kStart = 1'700'000'000;
}

TEST(PlayBarText, ShowsElapsedAndLengthInMinutesAndSeconds) {
    EXPECT_EQ(PlayTimeText(kStart, kStart + 180, kStart + 65, 900, 1.0), "01:05/03:00");
    EXPECT_EQ(PlayTimeText(kStart, kStart + 60, kStart, 0, 1.0), "00:00/01:00");
}

TEST(PlayBarText, MinutesAreThoseWithinTheHour) {
    EXPECT_EQ(PlayTimeText(kStart, kStart + 3725, kStart + 3725, 0, 1.0), "02:05/02:05");
}

TEST(PlayBarText, TimeLapseShowsRealTimeFifteenTimesLonger) {
    // A time-lapse file of 60 s covers a quarter of an hour.
    EXPECT_EQ(PlayTimeText(kStart, kStart + 60, kStart, 0, 1.0 / 15.0), "00:00/15:00");
    // 10.5 s into it: 157.5 s of real time, the half second counted.
    EXPECT_EQ(PlayTimeText(kStart, kStart + 60, kStart + 10, 500, 1.0 / 15.0), "02:37/15:00");
    // Only factors below 1 stretch.
    EXPECT_EQ(PlayTimeText(kStart, kStart + 60, kStart + 10, 500, 2.0), "00:10/01:00");
}

TEST(PlayBarText, ATimeBeforeTheEntryStartShowsZero) {
    EXPECT_EQ(PlayTimeText(kStart, kStart + 60, kStart - 3, 700, 1.0 / 15.0), "00:00/15:00");
}

TEST(PlayBarText, SpeedCarriesTheLanguageUnit) {
    EXPECT_EQ(VehicleSpeedText(54, QStringLiteral("km/h")), "54 km/h");
    EXPECT_EQ(VehicleSpeedText(0, QString()), "0 ");
    EXPECT_EQ(QString::fromLatin1(kNoPlayTime), "00:00/00:00");
}
