#pragma once
// The figures of a trip: the distance between consecutive position fixes, the recordings'
// length, the average speed over that length and the top speed the recorder wrote. Samples
// without a fix are skipped; the distance is not carried across files, as recordings may lie
// hours apart.

#include "cli/DrivingTrack.h"

#include <cstdint>
#include <vector>

namespace viewer::trip {

class TripFigures {
public:
    // One recording file's samples in time order.
    void AddSamples(const std::vector<tachy::cli::DrivingSample>& samples);
    // A recording's length, which the duration and the average speed count.
    void AddDuration(std::int64_t milliseconds);
    void Merge(const TripFigures& other);

    double DistanceKm() const { return m_distanceKm; }
    std::int64_t DurationMs() const { return m_durationMs; }
    int TopSpeedKmh() const { return m_topSpeedKmh; }
    int Fixes() const { return m_fixes; }
    // Distance over duration; 0 without either.
    double AverageSpeedKmh() const;

    // The great-circle distance of two points in degrees, on a sphere of the earth's mean
    // radius.
    static double DistanceKm(double latitude1, double longitude1, double latitude2,
                             double longitude2);

private:
    double m_distanceKm = 0;
    std::int64_t m_durationMs = 0;
    int m_topSpeedKmh = 0;
    int m_fixes = 0;
};

} // namespace viewer::trip
