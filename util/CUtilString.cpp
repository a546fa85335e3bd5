#include "util/CUtilString.h"

#include "util/CUtilTime.h"

#include <cmath>
#include <cstdio>

namespace {

template <typename... Arguments>
std::string format(const char* pattern, Arguments... arguments) {
    const int length = std::snprintf(nullptr, 0, pattern, arguments...);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, arguments...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// A float from a damaged recording may be NaN or huge; converting such a value to int is
// undefined, so it is held to the int range (NaN reads as 0).
int toInt(long double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0L) {
        return 2147483647;
    }
    if (value <= -2147483648.0L) {
        return -2147483647 - 1;
    }
    return static_cast<int>(value);
}

std::string timeText(std::int64_t t, const char* pattern) {
    std::string text;
    CUtilTime::Format(t, pattern, text);
    return text;
}

} // namespace

std::string CUtilString::GetDateTimeString(std::int64_t t) const {
    return timeText(t, "%Y-%m-%d  %H:%M:%S");
}

std::string CUtilString::GetAviCaption(int camera, std::int64_t t) const {
    return format("Cam:%d %s", camera, GetDateTimeString(t).c_str());
}

std::string CUtilString::Coordinate(float value, const char* positive, const char* negative) {
    // Worked in extended precision from the float, so 37.3456 gives 37 deg 34' 33".
    const long double magnitude = std::fabs(static_cast<long double>(value));
    const long double degrees = std::trunc(magnitude);
    const long double minutesExact = (magnitude - degrees) * 100.0L;
    const long double minutes = std::trunc(minutesExact);
    const long double seconds = std::trunc((minutesExact - minutes) * 60.0L);
    return format("%02d\u00B0  %02d'  %02d\"  %s", toInt(degrees), toInt(minutes), toInt(seconds),
                  value < 0 ? negative : positive);
}

std::string CUtilString::GetGpsLatitude(float value) const {
    return Coordinate(value, "(N)", "(S)");
}

std::string CUtilString::GetGpsLongitude(float value) const {
    return Coordinate(value, "(E)", "(W)");
}

std::string CUtilString::GetSpeed(float knots, int mph) const {
    if (mph != 0) {
        return format("Speed  :  %03d MPH", toInt(static_cast<double>(knots) * 1.15));
    }
    return format("Speed  :  %03d Km/H", toInt(static_cast<double>(knots) * 1.852));
}

std::string CUtilString::GetGSensor(float x, float y, float z) const {
    return format("X: %.4f,  Y: %.4f,  Z: %.4f", static_cast<double>(x), static_cast<double>(y),
                  static_cast<double>(z));
}

std::string CUtilString::GetBitmapFileNameString(const std::string& prefix, std::int64_t t,
                                                 int channel) const {
    return format("%sCh%d_%s", prefix.c_str(), channel,
                  timeText(t, "%Y_%m_%d_%H_%M_%S.bmp").c_str());
}

std::string CUtilString::GetAviFileNameString(const std::string& prefix, std::int64_t t,
                                              int channel) const {
    return format("%sCh%d_%s", prefix.c_str(), channel,
                  timeText(t, "%Y_%m_%d_%H_%M_%S.avi").c_str());
}

std::string CUtilString::GetAviFileNameStringNew(const std::string& prefix, std::int64_t t, int a,
                                                 int b, int c) const {
    return format("%sch%d_%04d_%s_%03d_0.avi", prefix.c_str(), b + 1, c,
                  timeText(t, "%Y%m%d_%H%M%S").c_str(), a);
}
