#pragma once
// Reads the position and speed out of an NMEA "$GPRMC" / "$GNRMC" sentence as the recorder's
// 400-byte driving-data records carry it. Every read stays inside the text it is given.

#include <string_view>

namespace viewer::driving {

struct RmcFix {
    bool valid = false;     // status "A" with a readable latitude and longitude
    float latitude = 0;     // NMEA ddmm.mmmm, negative = south
    float longitude = 0;    // NMEA dddmm.mmmm, negative = west
    float speedKnots = 0;
};

// The fix of a sentence; anything but a valid one answers the zero fix.
RmcFix ParseRmcSentence(std::string_view sentence);

// The text of a fixed-size field: up to the first NUL, or the whole field when there is none.
std::string_view BoundedText(const char* field, std::size_t size);

} // namespace viewer::driving
