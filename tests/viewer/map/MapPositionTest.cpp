// The map's position rules: degrees and minutes to degrees, the level for the speed, when the
// map is centred again and when the page is called; the script texts and the route.

#include "viewer/map/MapPosition.h"
#include "viewer/map/MapScript.h"

#include <gtest/gtest.h>

using viewer::driving::DrivingDataRecord;
using viewer::map::MapPoint;
using viewer::map::MapPosition;

namespace {

TEST(MapPosition, DegreesAndMinutesBecomeDecimalDegrees) {
    EXPECT_NEAR(MapPosition::ToDegrees(48.0822F), 48.137F, 1e-4);
    EXPECT_NEAR(MapPosition::ToDegrees(11.3454F), 11.5757F, 1e-4);
    // South and west are negative and keep their sign in the minutes.
    EXPECT_NEAR(MapPosition::ToDegrees(-33.5130F), -33.855F, 1e-4);
    EXPECT_FLOAT_EQ(MapPosition::ToDegrees(0.0F), 0.0F);
}

TEST(MapPosition, LevelGrowsWithSpeedUpToItsCap) {
    EXPECT_EQ(MapPosition::LevelForSpeed(0), 10);
    EXPECT_EQ(MapPosition::LevelForSpeed(2.9F), 10);
    EXPECT_EQ(MapPosition::LevelForSpeed(3.0F), 11);
    EXPECT_EQ(MapPosition::LevelForSpeed(69.0F), 33);
    EXPECT_EQ(MapPosition::LevelForSpeed(100.0F), 33);  // 33 steps capped to 23
    EXPECT_EQ(MapPosition::LevelForSpeed(-5.0F), 10);
}

TEST(MapPosition, ZeroPositionIsNeverDue) {
    MapPosition position;
    position.Set(0, 0, 30);
    EXPECT_FALSE(position.Due());
    EXPECT_EQ(position.Generation(), 0U);
}

TEST(MapPosition, FirstPositionIsDueAndCentred) {
    MapPosition position;
    position.Set(48.0822F, 11.3454F, 0);
    ASSERT_TRUE(position.Due());
    EXPECT_TRUE(position.View().recentre);
    EXPECT_NEAR(position.View().latitude, 48.137F, 1e-4);
    position.Sent(position.Generation());
    EXPECT_FALSE(position.Due());
    EXPECT_FALSE(position.View().recentre);
}

TEST(MapPosition, SamePositionIsNotSentAgain) {
    MapPosition position;
    position.Set(48.0822F, 11.3454F, 20);
    position.Sent(position.Generation());
    position.Set(48.0822F, 11.3454F, 40);
    EXPECT_FALSE(position.Due());
    EXPECT_EQ(position.View().level, 23);
}

TEST(MapPosition, RecentreThresholdWidensWithSpeed) {
    // At 100 knots the level is 33 and the map follows only after 0.0048 degrees.
    MapPosition fast;
    fast.Set(48.0000F, 11.0000F, 100);
    fast.Sent(fast.Generation());
    fast.Set(48.0002F, 11.0000F, 100);  // 0.02 minutes: about 0.00033 degrees
    EXPECT_TRUE(fast.Due());
    EXPECT_FALSE(fast.View().recentre);
    fast.Set(48.0060F, 11.0000F, 100);  // 0.58 minutes further: about 0.0097 degrees
    EXPECT_TRUE(fast.View().recentre);
    EXPECT_EQ(fast.View().level, 33);

    // Standing, 0.0002 degrees is enough.
    MapPosition slow;
    slow.Set(48.0000F, 11.0000F, 0);
    slow.Sent(slow.Generation());
    slow.Set(48.0000F, 11.0002F, 0);  // about 0.00033 degrees
    EXPECT_TRUE(slow.View().recentre);
}

TEST(MapPosition, PositionArrivingDuringACallStaysDue) {
    MapPosition position;
    position.Set(48.0822F, 11.3454F, 0);
    const std::uint64_t sent = position.Generation();
    position.Set(48.0823F, 11.3454F, 0);
    position.Sent(sent);
    EXPECT_TRUE(position.Due());
    position.Sent(position.Generation());
    EXPECT_FALSE(position.Due());
}

TEST(MapScript, CallTexts) {
    EXPECT_EQ(viewer::map::SetLatLagCall({48.137F, -11.5F, 33, true}).toStdString(),
              "setLatLag(48.137001, -11.500000, 33, true)");
    EXPECT_EQ(viewer::map::SetRouteCall({}).toStdString(), "setRoute([])");
    EXPECT_EQ(viewer::map::SetRouteCall({MapPoint{1.5, 2.25}, MapPoint{-3, 4}}).toStdString(),
              "setRoute([[1.500000,2.250000],[-3.000000,4.000000]])");
}

DrivingDataRecord record(float latitude, float longitude, std::uint8_t flags) {
    DrivingDataRecord result;
    result.SetLatitude(latitude);
    result.SetLongitude(longitude);
    result.SetFlags(flags);
    return result;
}

TEST(MapScript, RouteTakesValidPositionsOnceEach) {
    const std::vector<DrivingDataRecord> records = {
        record(4808.22F, 1134.54F, 4), record(4808.22F, 1134.54F, 4),  // repeated: once
        record(4808.30F, 1134.60F, 0),                                 // no fix
        record(0, 0, 4),                                               // flagged but empty
        record(4808.40F, 1134.70F, 4 | 1),
    };
    const std::vector<MapPoint> route = viewer::map::RouteFromRecords(records);
    ASSERT_EQ(route.size(), 2U);
    EXPECT_NEAR(route[0].latitude, 48.137, 1e-4);
    EXPECT_NEAR(route[0].longitude, 11.5757, 1e-4);
    EXPECT_NEAR(route[1].latitude, 48.14, 1e-4);
}

} // namespace
