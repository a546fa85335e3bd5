#pragma once
// Draws the generator's test pictures into YUV 4:2:0 planes: a moving pattern that differs by
// channel, and a label with the channel, the UTC time and the frame number, so that a wrong or
// out-of-step frame is visible at a glance.

#include <cstdint>
#include <string>

namespace mkcard {

struct Planes {
    std::uint8_t* y;
    std::uint8_t* u;
    std::uint8_t* v;
    int yStride;
    int uvStride;
    int width;
    int height;
};

void drawTestPicture(const Planes& planes, int channel, std::int64_t frame, const std::string& label);

// Writes the label in light text on a dark band across the top of the picture.
void drawLabel(const Planes& planes, const std::string& label);

} // namespace mkcard
