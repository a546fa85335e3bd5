#include "tools/mkcard/DriveSimulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace mkcard {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGravity = 9.80665;
constexpr double kEarthRadius = 6371000.0;
constexpr double kRouteSeconds = 120.0;

// The route, one lap of two minutes: (end second, target km/h, turn deg/s).
struct Leg {
    double end;
    double speed;
    double turn;
};
constexpr Leg kRoute[] = {
    {4, 0, 0},      // waiting at a light
    {14, 50, 0},    // pulling away
    {30, 50, 2},    // a long bend
    {40, 50, 0},
    {42.5, 0, 0},   // a hard brake
    {48, 0, 0},     // stopped
    {56, 30, 0},
    {62, 30, 15},   // a right turn at a crossing
    {80, 60, 0},    // the bump lies on this stretch
    {90, 60, -4},
    {104, 40, 0},
    {114, 0, 0},    // coming to a stop
    {120, 0, 0},
};

void putFloat(std::string& record, std::size_t at, double value) {
    const auto single = static_cast<float>(value);
    std::memcpy(record.data() + at, &single, 4);
}

template <typename T> void put(std::string& record, std::size_t at, T value) {
    std::memcpy(record.data() + at, &value, sizeof value);
}

// Degrees as NMEA ddmm.mmmm.
double nmea(double degrees) {
    const double magnitude = std::fabs(degrees);
    const double whole = std::floor(magnitude);
    return whole * 100 + (magnitude - whole) * 60;
}

} // namespace

DriveSimulator::DriveSimulator(double latitude, double longitude, std::uint32_t seed) {
    m_state.latitude = latitude;
    m_state.longitude = longitude;
    m_state.headingDegrees = static_cast<double>(seed % 360);
    m_routeOffset = static_cast<double>(seed % 7) * 3.0;
}

double DriveSimulator::targetSpeed(double t) const {
    const double lap = std::fmod(t + m_routeOffset, kRouteSeconds);
    double start = 0;
    double previous = 0;
    for (const Leg& leg : kRoute) {
        if (lap < leg.end) {
            // Speed changes linearly over each leg from the previous leg's target.
            const double fraction = (lap - start) / (leg.end - start);
            return previous + (leg.speed - previous) * fraction;
        }
        start = leg.end;
        previous = leg.speed;
    }
    return 0;
}

double DriveSimulator::turnRate(double t) const {
    const double lap = std::fmod(t + m_routeOffset, kRouteSeconds);
    for (const Leg& leg : kRoute) {
        if (lap < leg.end) {
            return leg.turn;
        }
    }
    return 0;
}

double DriveSimulator::bump(double t) const {
    const double lap = std::fmod(t + m_routeOffset, kRouteSeconds);
    const double since = lap - 70.0;
    return since >= 0 && since < 0.3 ? 0.8 * std::sin(since / 0.3 * 2 * kPi) : 0.0;
}

const DriveState& DriveSimulator::step(double dt) {
    const double t = m_state.seconds + dt;
    const double before = m_state.speedKmh / 3.6;
    const double speed = std::max(0.0, targetSpeed(t));
    const double after = speed / 3.6;
    const double turn = after > 0.5 ? turnRate(t) : 0.0;
    m_state.headingDegrees = std::fmod(m_state.headingDegrees + turn * dt + 360.0, 360.0);
    const double heading = m_state.headingDegrees * kPi / 180.0;
    const double distance = (before + after) / 2 * dt;
    m_state.latitude += distance * std::cos(heading) / kEarthRadius * 180.0 / kPi;
    m_state.longitude += distance * std::sin(heading) /
                         (kEarthRadius * std::cos(m_state.latitude * kPi / 180.0)) * 180.0 / kPi;
    m_state.speedKmh = speed;
    m_state.gx = (after - before) / dt / kGravity;
    m_state.gy = after * (turn * kPi / 180.0) / kGravity;
    m_state.gz = 1.0 + bump(t);
    m_state.seconds = t;
    return m_state;
}

std::string gprmcSentence(const DriveState& state, std::int64_t utcMs) {
    const auto seconds = static_cast<std::time_t>(utcMs / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char body[160];
    std::snprintf(body, sizeof body,
                  "GPRMC,%02d%02d%02d.%03d,A,%09.4f,%c,%010.4f,%c,%.2f,%.1f,%02d%02d%02d,,,A",
                  utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(utcMs % 1000),
                  nmea(state.latitude), state.latitude < 0 ? 'S' : 'N', nmea(state.longitude),
                  state.longitude < 0 ? 'W' : 'E', state.speedKmh / 1.852, state.headingDegrees,
                  utc.tm_mday, utc.tm_mon + 1, utc.tm_year % 100);
    unsigned checksum = 0;
    for (const char* c = body; *c != '\0'; ++c) {
        checksum ^= static_cast<unsigned char>(*c);
    }
    char sentence[200];
    std::snprintf(sentence, sizeof sentence, "$%s*%02X", body, checksum);
    return sentence;
}

std::string drivingRecord(int kind, const DriveState& state, std::int64_t utcMs) {
    std::string record(static_cast<std::size_t>(kind), '\0');
    put<std::int32_t>(record, 0, 511);
    put<std::uint32_t>(record, 12, static_cast<std::uint32_t>(utcMs / 1000));
    put<std::uint16_t>(record, 26, static_cast<std::uint16_t>(utcMs % 1000));
    if (kind == 72 || kind == 80) {
        putFloat(record, 40, state.gx);
        putFloat(record, 44, state.gy);
        putFloat(record, 48, state.gz);
        putFloat(record, 56, state.speedKmh);
        putFloat(record, 60, state.latitude < 0 ? -nmea(state.latitude) : nmea(state.latitude));
        putFloat(record, 64, state.longitude < 0 ? -nmea(state.longitude) : nmea(state.longitude));
    } else if (kind == 400) {
        const std::string sentence = gprmcSentence(state, utcMs);
        std::memcpy(record.data() + 34, sentence.data(), std::min<std::size_t>(sentence.size(), 255));
        put<std::int32_t>(record, 290, static_cast<std::int32_t>(std::lround(state.gx * 1000)));
        put<std::int32_t>(record, 294, static_cast<std::int32_t>(std::lround(state.gy * 1000)));
        put<std::int32_t>(record, 298, static_cast<std::int32_t>(std::lround(state.gz * 1000)));
    } else if (kind == 57) {
        // Vehicle values; the byte at 4 above 44 marks them valid. The voltage shares bytes 26
        // and 27 with the preamble's millisecond, as the recorder's vehicle records do.
        record[4] = 57;
        const double rpm = state.speedKmh < 1 ? 800 : 1200 + state.speedKmh * 30;
        put<std::uint16_t>(record, 26, 138);
        record[37] = static_cast<char>(std::lround(state.speedKmh));
        put<std::uint16_t>(record, 38, static_cast<std::uint16_t>(rpm));
        put<std::uint32_t>(record, 40, static_cast<std::uint32_t>(120000 + state.seconds * state.speedKmh / 3600));
        record[44] = static_cast<char>(state.gx > 0.02 ? std::min(100.0, state.gx * 300) : 0);
        record[45] = static_cast<char>(state.gx < -0.05 ? 1 : 0);
        record[46] = static_cast<char>(state.gy > 0.05 ? 1 : state.gy < -0.05 ? 2 : 0);
        record[51] = state.speedKmh < 1 ? 'P' : 'D';
        record[52] = static_cast<char>(state.gx > 0.15 ? 0 : 1);
    }
    return record;
}

} // namespace mkcard
