#include "viewer/exports/PrintPageText.h"

#include "viewer/exports/DmsAngle.h"

#include <array>
#include <cmath>
#include <ctime>

namespace viewer::exports {

QString PrintPageText::Time(std::int64_t second) {
    const auto time = static_cast<std::time_t>(second);
    std::tm utc{};
    if (gmtime_r(&time, &utc) == nullptr) {
        return {};
    }
    std::array<char, 32> text{};
    if (std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &utc) == 0) {
        return {};
    }
    return QString::fromLatin1(text.data());
}

QString PrintPageText::Position(double latitude, double longitude, double speed) {
    const DmsAngle north = DmsAngle::Latitude(latitude);
    const DmsAngle east = DmsAngle::Longitude(longitude);
    const int kmh = std::isfinite(speed) && std::fabs(speed) < 1e9 ? static_cast<int>(speed) : 0;
    return QString::asprintf(
        "%d\u00b0 %02d' %02d\" (%c), %d\u00b0 %02d' %02d\" (%c), Speed: %d Km/h", north.degrees,
        north.minutes, north.seconds, north.hemisphere, east.degrees, east.minutes, east.seconds,
        east.hemisphere, kmh);
}

QString PrintPageText::GSensor(double x, double y, double z) {
    return QString::asprintf("X: %1.4f, Y: %1.4f, Z: %1.4f", x, y, z);
}

} // namespace viewer::exports
