#include "display/PictureUpload.h"

#include <algorithm>
#include <cstring>

namespace tachy::display {
namespace {

std::uint8_t clampByte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

// BT.601 studio range to B, G, R, X with the factors in 1/8192.
void yuvToBgrx(int y, int u, int v, std::uint8_t* pixel) {
    const int luma = 9576 * (y - 16);
    const int blue = u - 128;
    const int red = v - 128;
    pixel[0] = clampByte((luma + 16591 * blue) >> 13);
    pixel[1] = clampByte((luma - 6686 * red - 3218 * blue) >> 13);
    pixel[2] = clampByte((luma + 13123 * red) >> 13);
    pixel[3] = 0xFF;
}

std::uint8_t* row(const SurfaceMemory& dest, int index) {
    return dest.bits + static_cast<std::ptrdiff_t>(index) * dest.pitch;
}

// Copies `bytes` bytes of one row, mirrored in units of `unit` bytes when asked.
void copyRow(const std::uint8_t* source, std::uint8_t* dest, int units, int unit, bool mirror) {
    if (!mirror) {
        std::memcpy(dest, source, static_cast<std::size_t>(units) * unit);
        return;
    }
    for (int index = 0; index < units; ++index) {
        std::memcpy(dest + static_cast<std::ptrdiff_t>(units - 1 - index) * unit,
                    source + static_cast<std::ptrdiff_t>(index) * unit, static_cast<std::size_t>(unit));
    }
}

void copyPlane(const std::uint8_t* source, int stride, int width, int height, std::uint8_t* dest, int pitch,
               int reverse) {
    for (int line = 0; line < height; ++line) {
        const int target = (reverse & 1) != 0 ? height - 1 - line : line;
        copyRow(source + static_cast<std::ptrdiff_t>(line) * stride, dest + static_cast<std::ptrdiff_t>(target) * pitch,
                width, 1, (reverse & 2) != 0);
    }
}

} // namespace

void convertPackedYuv422(const std::uint8_t* source, int width, int height, const SurfaceMemory& dest) {
    for (int line = 0; line < height; ++line) {
        const std::uint8_t* in = source + static_cast<std::ptrdiff_t>(line) * width * 2;
        std::uint8_t* out = row(dest, height - 1 - line);
        for (int pair = 0; pair < width / 2; ++pair) {
            const std::uint8_t* bytes = in + static_cast<std::ptrdiff_t>(pair) * 4;
            yuvToBgrx(bytes[0], bytes[1], bytes[3], out + static_cast<std::ptrdiff_t>(pair) * 8);
            yuvToBgrx(bytes[2], bytes[1], bytes[3], out + static_cast<std::ptrdiff_t>(pair) * 8 + 4);
        }
    }
}

void convertPlanarYuv422(const std::uint8_t* source, int width, int height, const SurfaceMemory& dest) {
    const std::ptrdiff_t planeSize = static_cast<std::ptrdiff_t>(width) * height;
    const std::uint8_t* uPlane = source + planeSize;
    const std::uint8_t* vPlane = uPlane + planeSize / 2;
    const int chromaWidth = width / 2;
    for (int line = 0; line < height; ++line) {
        const std::uint8_t* luma = source + static_cast<std::ptrdiff_t>(line) * width;
        const std::uint8_t* u = uPlane + static_cast<std::ptrdiff_t>(line) * chromaWidth;
        const std::uint8_t* v = vPlane + static_cast<std::ptrdiff_t>(line) * chromaWidth;
        std::uint8_t* out = row(dest, height - 1 - line);
        for (int x = 0; x < chromaWidth * 2; ++x) {
            yuvToBgrx(luma[x], u[x / 2], v[x / 2], out + static_cast<std::ptrdiff_t>(x) * 4);
        }
    }
}

void copyBgra(const std::uint8_t* source, int width, int height, const SurfaceMemory& dest, int reverse) {
    for (int line = 0; line < height; ++line) {
        const int target = (reverse & 1) != 0 ? height - 1 - line : line;
        copyRow(source + static_cast<std::ptrdiff_t>(line) * width * 4, row(dest, target), width, 4,
                (reverse & 2) != 0);
    }
}

void copyYuv420(const std::uint8_t* const* planes, const int* strides, int width, int height,
                const SurfaceMemory& dest, int reverse) {
    const int chromaPitch = dest.pitch / 2;
    const std::ptrdiff_t lumaSize = static_cast<std::ptrdiff_t>(dest.pitch) * dest.height;
    std::uint8_t* vPlane = dest.bits + lumaSize;
    std::uint8_t* uPlane = dest.bits + lumaSize * 5 / 4;
    copyPlane(planes[0], strides[0], width, height, dest.bits, dest.pitch, reverse);
    copyPlane(planes[1], strides[1], (width + 1) / 2, (height + 1) / 2, uPlane, chromaPitch, reverse);
    copyPlane(planes[2], strides[2], (width + 1) / 2, (height + 1) / 2, vPlane, chromaPitch, reverse);
}

} // namespace tachy::display
