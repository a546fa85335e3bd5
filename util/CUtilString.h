#pragma once
// Display texts of driving data and times (positions, speed, G-sensor, captions) and the
// names of the files the suite exports. Times are broken down in UTC, as everywhere in the
// suite.

#include <cstdint>
#include <string>

class CUtilString {
public:
    CUtilString() = default;
    ~CUtilString() = default;

    // "%Y-%m-%d  %H:%M:%S", two spaces between date and time.
    std::string GetDateTimeString(std::int64_t t) const;
    // "Cam:%d %s" with the camera number as given and the date-time text.
    std::string GetAviCaption(int camera, std::int64_t t) const;

    // value is NMEA ddmm.mmmm divided by 100: 37.3456 is 37 degrees 34.56 minutes.
    std::string GetGpsLatitude(float value) const;
    std::string GetGpsLongitude(float value) const;
    // knots converted to km/h, or to mph when `mph` is non-zero.
    std::string GetSpeed(float knots, int mph) const;
    std::string GetGSensor(float x, float y, float z) const;

    // "<prefix>Ch<channel>_<YYYY_MM_DD_HH_MM_SS>.bmp" and ".avi".
    std::string GetBitmapFileNameString(const std::string& prefix, std::int64_t t,
                                        int channel) const;
    std::string GetAviFileNameString(const std::string& prefix, std::int64_t t, int channel) const;
    // "<prefix>ch<b+1>_<c:%04d>_<YYYYMMDD_HHMMSS>_<a:%03d>_0.avi".
    std::string GetAviFileNameStringNew(const std::string& prefix, std::int64_t t, int a, int b,
                                        int c) const;

private:
    static std::string Coordinate(float value, const char* positive, const char* negative);
};
