#include "platform/video/ColourMath.h"

#include <algorithm>
#include <cmath>

namespace tachy::video {
namespace {

std::uint8_t clampByte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

Rgb bt709ToRgb(int y, int cb, int cr) {
    const double luma = (y - 16) * 255.0 / 219.0;
    const double blueDiff = (cb - 128) * 255.0 / 224.0;
    const double redDiff = (cr - 128) * 255.0 / 224.0;
    const double red = luma + 2 * (1 - kLumaRed) * redDiff;
    const double blue = luma + 2 * (1 - kLumaBlue) * blueDiff;
    const double green = (luma - kLumaRed * red - kLumaBlue * blue) / kLumaGreen;
    return {clampByte(red), clampByte(green), clampByte(blue)};
}

Rgb backgroundRgb(const YCbCrColour& colour) {
    return bt709ToRgb(colour.y >> 8, colour.cb >> 8, colour.cr >> 8);
}

ProcAmpFactors procAmpFactors(const ProcAmpValues& values) {
    return {static_cast<float>(values.brightness) / kFixedOne * 255.0F / 219.0F,
            static_cast<float>(values.contrast) / kFixedOne,
            static_cast<float>(values.saturation) / kFixedOne};
}

void applyProcAmp(std::uint8_t* pixels, std::size_t count, const ProcAmpValues& values) {
    if (values.isIdentity()) {
        return;
    }
    const ProcAmpFactors factors = procAmpFactors(values);
    const float chroma = factors.contrast * factors.saturation;
    constexpr auto lumaRed = static_cast<float>(kLumaRed);
    constexpr auto lumaGreen = static_cast<float>(kLumaGreen);
    constexpr auto lumaBlue = static_cast<float>(kLumaBlue);
    const auto toByte = [](float value) {
        return static_cast<std::uint8_t>(std::clamp(value + 0.5F, 0.0F, 255.0F));
    };
    for (std::size_t index = 0; index < count; ++index) {
        std::uint8_t* pixel = pixels + index * 4;
        const float blue = pixel[0];
        const float green = pixel[1];
        const float red = pixel[2];
        const float luma = lumaRed * red + lumaGreen * green + lumaBlue * blue;
        const float newLuma = luma * factors.contrast + factors.brightness;
        const float newRed = newLuma + (red - luma) * chroma;
        const float newBlue = newLuma + (blue - luma) * chroma;
        const float newGreen = newLuma + (green - luma) * chroma;
        pixel[0] = toByte(newBlue);
        pixel[1] = toByte(newGreen);
        pixel[2] = toByte(newRed);
    }
}

} // namespace tachy::video
