#pragma once
// A simulated drive for the generator's driving data: a repeating route of starts, cruising,
// turns, a hard brake, stops and a bump, integrated so that positions, speeds and
// accelerations agree with each other.

#include <cstdint>
#include <string>

namespace mkcard {

struct DriveState {
    double seconds = 0;        // since the start of the drive
    double latitude = 0;       // degrees, negative south
    double longitude = 0;      // degrees, negative west
    double speedKmh = 0;
    double headingDegrees = 0; // 0 north, clockwise
    double gx = 0;             // longitudinal, g
    double gy = 0;             // lateral, g
    double gz = 1;             // vertical, g
};

class DriveSimulator {
public:
    DriveSimulator(double latitude, double longitude, std::uint32_t seed);

    // Advances by dt seconds and answers the new state.
    const DriveState& step(double dt);
    const DriveState& state() const { return m_state; }

private:
    double targetSpeed(double t) const;  // km/h
    double turnRate(double t) const;     // degrees per second
    double bump(double t) const;         // extra vertical g

    DriveState m_state;
    double m_routeOffset = 0;
};

// The driving-data record of a kind (72, 80, 400 or 57 bytes) for one frame: the recorder's
// 28-byte preamble (marker 511, UTC second at 12, millisecond at 26) and the kind's fields.
std::string drivingRecord(int kind, const DriveState& state, std::int64_t utcMs);

// "$GPRMC,..." with its checksum, for the state at that time.
std::string gprmcSentence(const DriveState& state, std::int64_t utcMs);

} // namespace mkcard
