#pragma once
// Plain values shared by the video layer and its users: rectangles in device pixels, surface
// formats, ProcAmp ranges and values (16.16 fixed point, as video processors report them) and
// colours given as 16-bit YCbCr samples.

#include <algorithm>
#include <cstdint>

namespace tachy::video {

struct VideoRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    VideoRect intersected(const VideoRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    bool operator==(const VideoRect&) const = default;
};

enum class SurfaceFormat {
    Rgb32,  // B, G, R, X bytes per pixel
    Yv12,   // Y plane, then V, then U, chroma at half width and height
};

enum class VideoBackend { Software, OpenGl };

// 16.16 fixed point: 0x10000 is 1.0.
constexpr int kFixedOne = 0x10000;

struct ProcAmpRange {
    int minimum = 0;
    int maximum = 0;
    int defaultValue = 0;
    int step = 0;
};

// Brightness is an offset in 8-bit luma steps; contrast and saturation are factors.
struct ProcAmpValues {
    int brightness = 0;
    int contrast = kFixedOne;
    int saturation = kFixedOne;

    bool isIdentity() const { return brightness == 0 && contrast == kFixedOne && saturation == kFixedOne; }
    bool operator==(const ProcAmpValues&) const = default;
};

enum class ProcAmpProperty { Brightness, Contrast, Saturation };

// Studio-range samples in the high byte of each 16-bit value, as video processors take them.
struct YCbCrColour {
    std::uint16_t y = 0x1000;
    std::uint16_t cb = 0x8000;
    std::uint16_t cr = 0x8000;
    std::uint16_t alpha = 0xFFFF;
};

} // namespace tachy::video
