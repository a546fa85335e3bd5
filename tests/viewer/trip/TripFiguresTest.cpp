// Trip figures from driving samples: the great-circle distance against known distances, fixes
// only, the top speed, the average over the recordings' length, and merging recordings.

#include "viewer/trip/TripFigures.h"
#include "viewer/trip/TripTexts.h"

#include <gtest/gtest.h>

using tachy::cli::DrivingSample;
using viewer::trip::TripFigures;

namespace {

DrivingSample Fix(double latitude, double longitude, int speed) {
    DrivingSample sample;
    sample.hasPosition = true;
    sample.latitude = latitude;
    sample.longitude = longitude;
    sample.speedKmh = speed;
    return sample;
}

DrivingSample NoFix(int speed) {
    DrivingSample sample;
    sample.speedKmh = speed; // a speed without a fix is not to be believed
    return sample;
}

} // namespace

TEST(TripFigures, GreatCircleDistanceMatchesKnownDistances) {
    // A degree of latitude on the mean-radius sphere, and Paris to London.
    EXPECT_NEAR(TripFigures::DistanceKm(0, 0, 1, 0), 111.195, 0.001);
    EXPECT_NEAR(TripFigures::DistanceKm(48.8566, 2.3522, 51.5074, -0.1278), 343.5, 0.5);
    // Across the antimeridian and the equator, and a point with itself.
    EXPECT_NEAR(TripFigures::DistanceKm(-0.5, 179.5, 0.5, -179.5), 157.25, 0.01);
    EXPECT_DOUBLE_EQ(TripFigures::DistanceKm(37.5, 127.0, 37.5, 127.0), 0.0);
}

TEST(TripFigures, SamplesWithoutAFixAreSkipped) {
    TripFigures figures;
    figures.AddSamples({Fix(0, 0, 30), NoFix(250), Fix(0.01, 0, 50), NoFix(0), Fix(0.02, 0, 40)});
    EXPECT_EQ(figures.Fixes(), 3);
    EXPECT_EQ(figures.TopSpeedKmh(), 50);
    EXPECT_NEAR(figures.DistanceKm(), 2.2239, 0.0001);
}

TEST(TripFigures, DistanceIsNotCarriedAcrossRecordings) {
    TripFigures first;
    first.AddSamples({Fix(0, 0, 10), Fix(0, 0.01, 10)});
    first.AddDuration(60'000);
    TripFigures second;
    // Hours later and far away: the gap between the recordings is no part of the trip.
    second.AddSamples({Fix(10, 10, 90), Fix(10, 10.01, 80)});
    second.AddDuration(60'000);
    first.Merge(second);
    EXPECT_NEAR(first.DistanceKm(), 1.1120 + 1.0950, 0.001);
    EXPECT_EQ(first.DurationMs(), 120'000);
    EXPECT_EQ(first.TopSpeedKmh(), 90);
    EXPECT_EQ(first.Fixes(), 4);
    // 2.207 km in two minutes.
    EXPECT_NEAR(first.AverageSpeedKmh(), 66.21, 0.05);
}

TEST(TripFigures, NothingKnownGivesZeroesNotNaN) {
    TripFigures figures;
    EXPECT_EQ(figures.AverageSpeedKmh(), 0.0);
    figures.AddSamples({NoFix(40)});
    figures.AddDuration(-5); // a recording whose end lies before its start
    EXPECT_EQ(figures.DurationMs(), 0);
    EXPECT_EQ(figures.Fixes(), 0);
    EXPECT_EQ(figures.TopSpeedKmh(), 0);
    EXPECT_EQ(figures.AverageSpeedKmh(), 0.0);
}

TEST(TripTexts, FiguresAreShownWithTheirUnits) {
    EXPECT_EQ(viewer::trip::DistanceText(12.345), QStringLiteral("12.35 km"));
    EXPECT_EQ(viewer::trip::DurationText(3'723'999), QStringLiteral("1:02:03"));
    EXPECT_EQ(viewer::trip::DurationText(-1), QStringLiteral("0:00:00"));
    EXPECT_EQ(viewer::trip::SpeedText(45.65), QStringLiteral("45.6 km/h"));
}

TEST(TripTexts, TipsNameKindTimeAndStrengthAndCountPerKind) {
    tachy::cli::Incident brake;
    brake.kind = tachy::cli::Incident::Kind::HardBraking;
    brake.startMs = 1709211946000LL; // 13:05:46 UTC
    brake.peakG = 0.574;
    EXPECT_EQ(viewer::trip::IncidentMarkTip(nullptr, brake, 1709211939000LL),
              QStringLiteral("Hard braking at 00:07 (13:05:46 UTC), 0.57 g"));
    tachy::cli::Incident turn = brake;
    turn.kind = tachy::cli::Incident::Kind::SharpTurn;
    EXPECT_EQ(viewer::trip::IncidentCountsTip(nullptr, {brake, turn, brake}),
              QStringLiteral("Incidents\nHard braking: 2\nSharp turn: 1"));
    EXPECT_TRUE(viewer::trip::IncidentCountsTip(nullptr, {}).isEmpty());
}
