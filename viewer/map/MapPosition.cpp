#include "viewer/map/MapPosition.h"

#include <algorithm>
#include <cmath>

namespace viewer::map {

float MapPosition::ToDegrees(float value) {
    const float whole = std::trunc(value);
    return whole + (value - whole) * 100.0F / 60.0F;
}

int MapPosition::LevelForSpeed(float knots) {
    const int steps = static_cast<int>(knots / 3.0F);
    return kBaseLevel + std::clamp(steps, 0, kMaxLevelSteps);
}

void MapPosition::Set(float latitude100, float longitude100, float knots) {
    if (latitude100 == 0 && longitude100 == 0) {
        return;
    }
    const bool changedNow = longitude100 != m_rawLongitude || latitude100 != m_rawLatitude;
    m_rawLatitude = latitude100;
    m_rawLongitude = longitude100;
    const float latitude = ToDegrees(latitude100);
    const float longitude = ToDegrees(longitude100);
    m_level = LevelForSpeed(knots);
    // The faster the car, the further it may move before the map follows it.
    const float moved = std::fabs(latitude - m_latitude) + std::fabs(longitude - m_longitude);
    if (moved > static_cast<float>(m_level - kBaseLevel + 1) * 0.0002F) {
        m_recentre = true;
    }
    m_latitude = latitude;
    m_longitude = longitude;
    if (changedNow) {
        m_changed = true;
        ++m_generation;
    }
}

void MapPosition::Sent(std::uint64_t generation) {
    // A position that came in after the call was made is still due, with its recentre.
    if (generation == m_generation) {
        m_recentre = false;
        m_changed = false;
    }
}

} // namespace viewer::map
