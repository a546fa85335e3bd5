#pragma once
// The position the map is moved to: the last one received in the recorder's form, the same in
// decimal degrees, the map level for the speed, and whether the map must be centred again and
// whether the page has still to be told.

#include <cstdint>

namespace viewer::map {

struct MapView {
    float latitude = 0;   // decimal degrees
    float longitude = 0;
    int level = 10;
    bool recentre = false;
};

class MapPosition {
public:
    static constexpr int kBaseLevel = 10;
    static constexpr int kMaxLevelSteps = 23;

    // ddmm.mmmm / 100 (degrees and minutes) to decimal degrees.
    static float ToDegrees(float value);
    // 10 + min(23, knots / 3).
    static int LevelForSpeed(float knots);

    // A new position; (0, 0) is ignored.
    void Set(float latitude100, float longitude100, float knots);

    // What a script call sends now, when one is due: a new position, not (0, 0).
    bool Due() const { return m_changed && !(m_latitude == 0 && m_longitude == 0); }
    MapView View() const { return {m_latitude, m_longitude, m_level, m_recentre}; }
    // Counts the positions that changed the stored one; a call marks what it sent with it.
    std::uint64_t Generation() const { return m_generation; }

    // The page has the position of `generation`: nothing is due until the next change.
    void Sent(std::uint64_t generation);
    void SetRecentre() { m_recentre = true; }

private:
    float m_rawLatitude = 0;
    float m_rawLongitude = 0;
    float m_latitude = 0;
    float m_longitude = 0;
    int m_level = kBaseLevel;
    bool m_recentre = false;
    bool m_changed = false;
    std::uint64_t m_generation = 0;
};

} // namespace viewer::map
