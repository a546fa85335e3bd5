#include "tools/mkcard/TestPicture.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace mkcard {
namespace {

// A 5 x 7 font for the label's characters; each row is five bits, the leftmost the highest.
struct Glyph {
    char character;
    std::array<std::uint8_t, 7> rows;
};

constexpr Glyph kFont[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}}, {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {' ', {0, 0, 0, 0, 0, 0, 0}},
};

const Glyph* glyphFor(char character) {
    for (const Glyph& glyph : kFont) {
        if (glyph.character == character) {
            return &glyph;
        }
    }
    return nullptr;
}

} // namespace

void drawLabel(const Planes& planes, const std::string& label) {
    const int scale = std::max(1, planes.width / 240);
    const int left = 4 * scale;
    const int top = 4 * scale;
    // A dark band behind the text keeps it readable over the pattern.
    const int bandHeight = std::min(planes.height, 9 * scale + 2 * top);
    for (int y = 0; y < bandHeight; ++y) {
        std::fill_n(planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride, planes.width, 16);
    }
    int x = left;
    for (const char character : label) {
        const Glyph* glyph = glyphFor(character);
        if (glyph != nullptr) {
            for (int row = 0; row < 7; ++row) {
                for (int column = 0; column < 5; ++column) {
                    if ((glyph->rows[static_cast<std::size_t>(row)] & (0x10 >> column)) == 0) {
                        continue;
                    }
                    for (int dy = 0; dy < scale; ++dy) {
                        for (int dx = 0; dx < scale; ++dx) {
                            const int px = x + column * scale + dx;
                            const int py = top + row * scale + dy;
                            if (px < planes.width && py < planes.height) {
                                planes.y[static_cast<std::ptrdiff_t>(py) * planes.yStride + px] = 235;
                            }
                        }
                    }
                }
            }
        }
        x += 6 * scale;
    }
}

void drawTestPicture(const Planes& planes, int channel, std::int64_t frame, const std::string& label) {
    // Diagonal bars that move a few pixels per frame, in a direction that depends on the channel.
    const int speed = channel == 1 ? -3 : 4 + channel;
    for (int y = 0; y < planes.height; ++y) {
        std::uint8_t* row = planes.y + static_cast<std::ptrdiff_t>(y) * planes.yStride;
        for (int x = 0; x < planes.width; ++x) {
            const auto phase = static_cast<int>((x + y * (channel + 1) + frame * speed) & 63);
            row[x] = static_cast<std::uint8_t>(48 + phase * 2 + (x * 32 / planes.width));
        }
    }
    static constexpr std::uint8_t kTint[3][2] = {{110, 150}, {150, 110}, {160, 160}};
    const int tint = std::clamp(channel, 0, 2);
    for (int y = 0; y < planes.height / 2; ++y) {
        std::fill_n(planes.u + static_cast<std::ptrdiff_t>(y) * planes.uvStride, planes.width / 2, kTint[tint][0]);
        std::fill_n(planes.v + static_cast<std::ptrdiff_t>(y) * planes.uvStride, planes.width / 2, kTint[tint][1]);
    }
    drawLabel(planes, label);
}

} // namespace mkcard
