#include "viewer/list/ListFilter.h"

#include <gtest/gtest.h>

namespace tachy::viewer {
namespace {

constexpr int kParking = 2;
constexpr std::array<bool, kModeCount> kAll{true, true, true, true, true, true, true};
constexpr std::array<bool, kModeCount> kNoParking{true, true, false, true, true, true, true};

TEST(ListFilter, StartsWithEveryModeOnAndAllChecked) {
    const ListFilter filter(kAll);
    EXPECT_TRUE(filter.IsAllChecked());
    for (int mode = 0; mode < kModeCount; ++mode) {
        EXPECT_TRUE(filter.IsModeOn(mode));
        EXPECT_TRUE(filter.IsButtonChecked(mode));
    }
}

TEST(ListFilter, AllButtonCopiesItsStateToEveryMode) {
    ListFilter filter(kAll);
    filter.ApplyAll(false);
    for (int mode = 0; mode < kModeCount; ++mode) {
        EXPECT_FALSE(filter.IsModeOn(mode));
        EXPECT_FALSE(filter.IsButtonChecked(mode));
    }
    filter.ApplyAll(true);
    for (int mode = 0; mode < kModeCount; ++mode) {
        EXPECT_TRUE(filter.IsModeOn(mode));
    }
}

TEST(ListFilter, AllIsCheckedExactlyWhenEveryAvailableModeIsOn) {
    ListFilter filter(kAll);
    filter.ApplyMode(1, false);
    EXPECT_FALSE(filter.IsAllChecked());
    EXPECT_FALSE(filter.IsModeOn(1));
    EXPECT_TRUE(filter.IsModeOn(0));
    filter.ApplyMode(1, true);
    EXPECT_TRUE(filter.IsAllChecked());
}

TEST(ListFilter, ModeButtonsRebuildFromAllOff) {
    ListFilter filter(kAll);
    filter.ApplyAll(false);
    filter.ApplyMode(3, true);
    for (int mode = 0; mode < kModeCount; ++mode) {
        EXPECT_EQ(filter.IsModeOn(mode), mode == 3) << mode;
    }
    EXPECT_FALSE(filter.IsAllChecked());
}

TEST(ListFilter, UnavailableModeIsLeftAloneByAll) {
    ListFilter filter(kNoParking);
    EXPECT_FALSE(filter.IsButtonChecked(kParking));
    EXPECT_TRUE(filter.IsModeOn(kParking));  // on after a load
    filter.ApplyAll(false);
    EXPECT_TRUE(filter.IsModeOn(kParking));
    EXPECT_FALSE(filter.IsButtonChecked(kParking));
    EXPECT_FALSE(filter.IsModeOn(0));
}

TEST(ListFilter, UnavailableModeIsIgnoredByModeButtons) {
    ListFilter filter(kNoParking);
    filter.ApplyMode(kParking, false);
    EXPECT_TRUE(filter.IsModeOn(kParking));
    EXPECT_TRUE(filter.IsAllChecked());
    filter.ApplyAll(false);
    filter.ApplyMode(0, true);
    // Every available mode but normal is off; parking keeps what it had.
    EXPECT_TRUE(filter.IsModeOn(kParking));
    // "all" only looks at available modes: five of six are off.
    EXPECT_FALSE(filter.IsAllChecked());
}

TEST(ListFilter, AllOnCountsOnlyAvailableModes) {
    ListFilter filter(kNoParking);
    filter.ApplyAll(false);
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (mode != kParking) {
            filter.ApplyMode(mode, true);
        }
    }
    EXPECT_TRUE(filter.IsAllChecked());
}

TEST(ListFilter, ResetTurnsEveryModeOnAgain) {
    ListFilter filter(kNoParking);
    filter.ApplyAll(false);
    filter.Reset();
    EXPECT_TRUE(filter.IsAllChecked());
    for (int mode = 0; mode < kModeCount; ++mode) {
        EXPECT_TRUE(filter.IsModeOn(mode));
        EXPECT_EQ(filter.IsButtonChecked(mode), mode != kParking);
    }
}

TEST(ListFilter, OutOfRangeModesAreNeitherOnNorAvailable) {
    ListFilter filter(kAll);
    filter.ApplyMode(7, false);
    filter.ApplyMode(-1, false);
    EXPECT_FALSE(filter.IsModeOn(-1));
    EXPECT_FALSE(filter.IsAvailable(7));
    EXPECT_TRUE(filter.IsAllChecked());
}

} // namespace
} // namespace tachy::viewer
