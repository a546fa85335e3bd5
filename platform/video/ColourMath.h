#pragma once
// The colour arithmetic both video backends share: BT.709 studio-range YCbCr to RGB, and the
// ProcAmp adjustment applied to RGB after conversion. The OpenGL shader does the same sums in
// floating point; the software backend calls these.

#include "platform/video/VideoTypes.h"

#include <cstddef>
#include <cstdint>

namespace tachy::video {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// BT.709 coefficients (luma weights of red and blue).
constexpr double kLumaRed = 0.2126;
constexpr double kLumaBlue = 0.0722;
constexpr double kLumaGreen = 1.0 - kLumaRed - kLumaBlue;

Rgb bt709ToRgb(int y, int cb, int cr);
Rgb backgroundRgb(const YCbCrColour& colour);

// The ProcAmp factors as floating-point numbers: brightness in 8-bit RGB steps (a luma step of
// 219 levels stretched to 255), contrast and saturation as factors.
struct ProcAmpFactors {
    float brightness = 0;
    float contrast = 1;
    float saturation = 1;
};
ProcAmpFactors procAmpFactors(const ProcAmpValues& values);

// Adjusts `count` pixels of B, G, R, X bytes in place: luma scaled by the contrast and moved by
// the brightness, colour difference scaled by the contrast and the saturation.
void applyProcAmp(std::uint8_t* pixels, std::size_t count, const ProcAmpValues& values);

} // namespace tachy::video
