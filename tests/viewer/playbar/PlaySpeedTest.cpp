#include "viewer/playbar/PlaySpeed.h"

#include <gtest/gtest.h>

using viewer::playbar::PlaySpeed;

TEST(PlaySpeed, StepsRunFromHalfToDoubleAndStopAtTheEnds) {
    PlaySpeed speed;
    EXPECT_TRUE(speed.Faster());
    EXPECT_DOUBLE_EQ(speed.SpeedFactor(), 1.5);
    EXPECT_TRUE(speed.Faster());
    EXPECT_DOUBLE_EQ(speed.SpeedFactor(), 2.0);
    EXPECT_FALSE(speed.Faster());
    EXPECT_EQ(speed.Step(), 4);
    EXPECT_TRUE(speed.Select(1));
    EXPECT_DOUBLE_EQ(speed.SpeedFactor(), 0.5);
    EXPECT_FALSE(speed.Slower());
    EXPECT_EQ(speed.Step(), 1);
}

TEST(PlaySpeed, SelectRefusesTheCurrentStepAndStepsOutsideTheRange) {
    PlaySpeed speed;
    EXPECT_FALSE(speed.Select(2));
    EXPECT_FALSE(speed.Select(0));
    EXPECT_FALSE(speed.Select(5));
    EXPECT_EQ(speed.Step(), 2);
}

TEST(PlaySpeed, TimeLapseMultipliesTheChosenSpeedByOneFifteenth) {
    PlaySpeed speed;
    speed.SetTimeLapse(true);
    EXPECT_DOUBLE_EQ(speed.Applied(), 1.0 / 15.0);
    speed.Faster();
    speed.Faster();
    EXPECT_DOUBLE_EQ(speed.Applied(), 2.0 / 15.0);
    speed.SetTimeLapse(false);
    EXPECT_DOUBLE_EQ(speed.Applied(), 2.0);
}
