#include "viewer/map/MapScript.h"

#include <cmath>

namespace viewer::map {

namespace {

// Six decimals: about 0.1 m, finer than a float32 position holds.
QString coordinate(double value) {
    return QString::number(std::isfinite(value) ? value : 0.0, 'f', 6);
}

} // namespace

QString SetLatLagCall(const MapView& view) {
    return QStringLiteral("setLatLag(%1, %2, %3, %4)")
        .arg(coordinate(view.latitude), coordinate(view.longitude), QString::number(view.level),
             view.recentre ? QStringLiteral("true") : QStringLiteral("false"));
}

QString SetRouteCall(const std::vector<MapPoint>& route) {
    QString points;
    points.reserve(static_cast<qsizetype>(route.size() * 26));
    for (const MapPoint& point : route) {
        if (!points.isEmpty()) {
            points += QLatin1Char(',');
        }
        points += QLatin1Char('[') + coordinate(point.latitude) + QLatin1Char(',') + coordinate(point.longitude) +
                  QLatin1Char(']');
    }
    return QStringLiteral("setRoute([%1])").arg(points);
}

std::vector<MapPoint> RouteFromRecords(std::span<const viewer::driving::DrivingDataRecord> records) {
    std::vector<MapPoint> route;
    for (const viewer::driving::DrivingDataRecord& record : records) {
        if ((record.Flags() & viewer::driving::kPositionValid) == 0) {
            continue;
        }
        const float latitude100 = record.Latitude() / 100.0F;
        const float longitude100 = record.Longitude() / 100.0F;
        if ((latitude100 == 0 && longitude100 == 0) || !std::isfinite(latitude100) || !std::isfinite(longitude100)) {
            continue;
        }
        const MapPoint point{MapPosition::ToDegrees(latitude100), MapPosition::ToDegrees(longitude100)};
        if (!route.empty() && route.back().latitude == point.latitude && route.back().longitude == point.longitude) {
            continue;
        }
        route.push_back(point);
    }
    return route;
}

} // namespace viewer::map
