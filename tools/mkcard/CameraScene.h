#pragma once
// Draws pictures that cost an encoder and a decoder what a dash camera's pictures cost: a road
// seen in perspective streaming past at town speed, house fronts with windows on both sides,
// oncoming, leading and parked cars, a sky with drifting cloud, and fresh sensor noise in every
// frame. The front camera (channel 0) looks ahead, the others look back along the same street.
// A picture depends only on the seed, the channel, the frame rate and the frame number.

#include "tools/mkcard/GrainTexture.h"
#include "tools/mkcard/TestPicture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mkcard {

class CameraScene {
public:
    CameraScene(std::uint32_t seed, int channel, int framesPerSecond);

    // Draws frame `frame` into the planes, with the label on a band across the top.
    void draw(const Planes& planes, std::int64_t frame, const std::string& label);

private:
    // What one column of the picture sees of the house fronts.
    struct Column {
        int wallTop;        // first picture row on a house front
        int wallBottom;     // the row after it, where the road begins
        double rowToHeight; // metres of facade height per picture row
        std::int64_t along; // facade texel along the street
        int level;          // grain level for the facade's distance
        int shade;          // the house's brightness, 0 at a gap between houses
        std::uint8_t u;     // the house's colour
        std::uint8_t v;
    };

    struct View {
        int width;
        int height;
        double centre;  // the picture column straight ahead
        double horizon; // the picture row of the horizon
        double focal;   // pixels per unit of tangent
        double travel;  // metres driven since frame 0
        double seconds; // time since frame 0
        std::int64_t frame;
    };

    View viewOf(const Planes& planes, std::int64_t frame) const;
    void prepareColumns(const View& view);
    void drawBackground(const Planes& planes, const View& view);
    void drawGroundRow(const Planes& planes, const View& view, int y);
    void drawBackgroundChroma(const Planes& planes);
    void drawCars(const Planes& planes, const View& view) const;
    void drawCar(const Planes& planes, const View& view, double distance, double lateral,
                 std::uint64_t look) const;
    void addSensorNoise(const Planes& planes, std::int64_t frame) const;

    GrainTexture m_grain;
    std::uint64_t m_seed;
    int m_channel;
    int m_framesPerSecond;
    double m_direction; // +1 looking ahead, -1 looking back
    std::vector<Column> m_columns;
    // The kind of surface under each chroma sample, for the colour pass.
    std::vector<std::uint8_t> m_surface;
};

} // namespace mkcard
