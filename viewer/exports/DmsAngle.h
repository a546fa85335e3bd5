#pragma once
// An angle stored the NMEA way (ddmm.mmmm, negative for south or west) split into whole
// degrees, minutes and seconds with its hemisphere letter, as the printed page shows it.

namespace viewer::exports {

struct DmsAngle {
    int degrees = 0;
    int minutes = 0;
    int seconds = 0;
    char hemisphere = 'N';

    static DmsAngle Latitude(double nmea) { return FromNmea(nmea, 'N', 'S'); }
    static DmsAngle Longitude(double nmea) { return FromNmea(nmea, 'E', 'W'); }
    // Degrees the hundreds of |v|, minutes the whole part of the rest, seconds its fraction
    // times 60, each truncated.
    static DmsAngle FromNmea(double nmea, char positive, char negative);
};

} // namespace viewer::exports
