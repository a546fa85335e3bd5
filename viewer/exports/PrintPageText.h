#pragma once
// The value lines of the printed page: the frame time, the position with the speed, and the
// G-sensor values.

#include <QString>

#include <cstdint>

namespace viewer::exports {

class PrintPageText {
public:
    // "YYYY-MM-DD hh:mm:ss" of the stored second on the UTC calendar; empty when it has no date.
    static QString Time(std::int64_t second);
    // Latitude and longitude as stored (NMEA ddmm.mmmm), speed in km/h, truncated.
    static QString Position(double latitude, double longitude, double speed);
    static QString GSensor(double x, double y, double z);
};

} // namespace viewer::exports
