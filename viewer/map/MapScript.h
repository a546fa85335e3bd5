#pragma once
// The script calls the viewer makes on the map page, as text for the page's script engine, and
// the route of a recording taken from its driving data.

#include "viewer/driving/DrivingDataRecord.h"
#include "viewer/map/IWndMap.h"
#include "viewer/map/MapPosition.h"

#include <QString>
#include <span>
#include <vector>

namespace viewer::map {

// setLatLag(latitude, longitude, level, recentre)
QString SetLatLagCall(const MapView& view);
// setRoute([[latitude, longitude], ...])
QString SetRouteCall(const std::vector<MapPoint>& route);

// The positions of the records that carry one (flag 4), in decimal degrees, in order; a point
// equal to the one before it is left out.
std::vector<MapPoint> RouteFromRecords(std::span<const viewer::driving::DrivingDataRecord> records);

} // namespace viewer::map
