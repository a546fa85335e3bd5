#pragma once
// Finds incidents in the G-sensor data: hard braking (longitudinal deceleration above a
// threshold), impacts (the force apart from gravity, in any direction, above a threshold) and
// sharp turns (sideways force above a threshold). Samples above a threshold less than a second
// apart form one incident.

#include "cli/TrackSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tachy::cli {

struct Incident {
    enum class Kind { HardBraking, Impact, SharpTurn };
    Kind kind = Kind::HardBraking;
    std::int64_t startMs = 0;
    std::int64_t endMs = 0; // the last sample above the threshold
    std::int64_t peakMs = 0;
    double peakG = 0;   // the size of the force at its peak
    bool right = false; // sharp turns: to the right
    std::string file;   // the file of the first sample

    static const char* KindName(Kind kind);
};

struct IncidentThresholds {
    double brakeG = 0.4;
    double impactG = 0.6;
    double turnG = 0.2;
};

class IncidentFinder {
public:
    explicit IncidentFinder(IncidentThresholds thresholds) : m_thresholds(thresholds) {}

    // The incidents of the files' samples, in order of their start.
    std::vector<Incident> Find(const std::vector<FileSamples>& files) const;

    // Samples above a threshold at most this far apart belong to one incident.
    static constexpr std::int64_t kJoinMs = 1000;

private:
    // The size of the force of that kind in a sample (0 when below the threshold).
    double Measure(Incident::Kind kind, const DrivingSample& sample) const;
    void FindKind(Incident::Kind kind, const std::vector<FileSamples>& files,
                  std::vector<Incident>& found) const;

    IncidentThresholds m_thresholds;
};

} // namespace tachy::cli
