#include "viewer/exports/DmsAngle.h"

#include <cmath>

namespace viewer::exports {

DmsAngle DmsAngle::FromNmea(double nmea, char positive, char negative) {
    DmsAngle angle;
    angle.hemisphere = nmea < 0 ? negative : positive;
    // A value no recorder writes (not finite, or beyond any int) prints as 0 rather than
    // overflowing the conversions below.
    const double magnitude = std::fabs(nmea);
    if (!std::isfinite(magnitude) || magnitude >= 1e9) {
        return angle;
    }
    angle.degrees = static_cast<int>(magnitude / 100);
    const double minutes = magnitude - angle.degrees * 100.0;
    angle.minutes = static_cast<int>(minutes);
    angle.seconds = static_cast<int>((minutes - angle.minutes) * 60);
    return angle;
}

} // namespace viewer::exports
