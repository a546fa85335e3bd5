// The page's change detection: each changed field is stored and flagged once, redraws clear
// the flags, unchanged records flag nothing.

#include "viewer/obd/ObdChangeTracker.h"

#include <gtest/gtest.h>

using namespace viewer::obd;

namespace {

TEST(ObdChangeTracker, SameValuesAsBeforeFlagNothing) {
    ObdChangeTracker tracker;
    EXPECT_FALSE(tracker.Update(ObdValues{}));
    EXPECT_EQ(tracker.ChangedFields(), 0U);
}

TEST(ObdChangeTracker, EachChangedFieldIsFlagged) {
    ObdChangeTracker tracker;
    ObdValues values;
    values.speed = 50;
    values.gear = Gear::Drive;
    values.leftSignal = true;
    EXPECT_TRUE(tracker.Update(values));
    EXPECT_EQ(tracker.ChangedFields(), kSpeed | kGear | kTurnSignals);
    const ObdChanges changes = tracker.TakeChanges();
    EXPECT_EQ(changes.fields, kSpeed | kGear | kTurnSignals);
    EXPECT_EQ(changes.values, values);
    EXPECT_EQ(tracker.ChangedFields(), 0U);
    EXPECT_FALSE(tracker.Update(values));
}

TEST(ObdChangeTracker, FlagsGatherUntilTheRedrawTakesThem) {
    ObdChangeTracker tracker;
    ObdValues values;
    values.voltageTenths = 125;
    tracker.Update(values);
    values.distance = 7;
    values.brake = true;
    tracker.Update(values);
    values.voltageTenths = 0; // back to the first value: still flagged, value is the newest
    tracker.Update(values);
    const ObdChanges changes = tracker.TakeChanges();
    EXPECT_EQ(changes.fields, kVoltage | kDistance | kBrake);
    EXPECT_EQ(changes.values.voltageTenths, 0);
    EXPECT_EQ(changes.values.distance, 7U);
}

TEST(ObdChangeTracker, EveryFieldHasItsOwnFlag) {
    ObdValues changed;
    changed.speed = 1;
    changed.distance = 1;
    changed.engineSpeed = 1;
    changed.accelerator = 1;
    changed.brake = true;
    changed.rightSignal = true;
    changed.gear = Gear::Reverse;
    changed.economy = Economy::Red;
    changed.voltageTenths = 1;
    ObdChangeTracker tracker;
    tracker.Update(changed);
    EXPECT_EQ(tracker.ChangedFields(), static_cast<std::uint32_t>(kAllFields));
}

TEST(ObdChangeTracker, FlagAllRedrawsEverythingWithoutChangingValues) {
    ObdChangeTracker tracker;
    ObdValues values;
    values.speed = 9;
    tracker.Update(values);
    tracker.TakeChanges();
    tracker.FlagAll();
    const ObdChanges changes = tracker.TakeChanges();
    EXPECT_EQ(changes.fields, static_cast<std::uint32_t>(kAllFields));
    EXPECT_EQ(changes.values.speed, 9);
}

} // namespace
