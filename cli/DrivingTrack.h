#pragma once
// The driving data of one recording file as timed samples: the driving-data stream read with the
// RIFF reader, each record converted as the viewer converts it (the first record of the file
// decides how all are read), positions turned from the recorder's NMEA form into degrees.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tachy::cli {

struct DrivingSample {
    std::int64_t timeMs = 0; // UTC
    bool hasPosition = false;
    double latitude = 0;  // degrees, negative south
    double longitude = 0; // degrees, negative west
    int speedKmh = 0;
    bool hasGForce = false;
    double gx = 0; // longitudinal, g (negative: braking)
    double gy = 0; // lateral, g (positive: to the right)
    double gz = 0; // vertical, g (1 at rest)
};

class DrivingTrack {
public:
    // Reads the file's driving data. Records without a time of their own are timed from
    // `startMs` (the recording's start) and their place in the stream. False when the file
    // cannot be read as a recording.
    bool Read(const std::filesystem::path& file, std::int64_t startMs);

    const std::vector<DrivingSample>& Samples() const { return m_samples; }
    // Records per kind ("gps", "nmea", "vehicle", "g-sensor", "gprmc-text", "other").
    const std::map<std::string, int>& KindCounts() const { return m_kinds; }

    static const char* KindName(std::int32_t typeCode);
    // The recorder's NMEA ddmm.mmmm (negative south or west) in degrees.
    static double Degrees(float nmea);

private:
    std::vector<DrivingSample> m_samples;
    std::map<std::string, int> m_kinds;
};

} // namespace tachy::cli
