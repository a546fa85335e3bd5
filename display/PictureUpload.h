#pragma once
// Copies a decoded picture into a surface's memory in the display's formats: packed and planar
// YUV 4:2:2 converted to 32-bit RGB (BT.601 studio range, fixed point in 1/8192, rows stored
// bottom-up), 32-bit BGRA rows, and planar YUV 4:2:0 into a YV12 surface. The reverse modes:
// 0 as is, 1 rows bottom to top, 2 every row mirrored, 3 both.

#include <cstdint>

namespace tachy::display {

enum PictureFormat { kPackedYuv422 = 1, kPlanarYuv422 = 2, kBgra32 = 4, kPlanarYuv420 = 6 };

struct SurfaceMemory {
    std::uint8_t* bits = nullptr;
    int pitch = 0;
    int height = 0;  // rows of the surface (the YV12 chroma planes follow at pitch x height)
};

// Bytes Y0 U Y1 V per pixel pair; `source` holds width x height x 2 bytes.
void convertPackedYuv422(const std::uint8_t* source, int width, int height, const SurfaceMemory& dest);
// A Y plane of width x height, then U and V planes of width/2 x height, V starting
// width x height / 2 after U.
void convertPlanarYuv422(const std::uint8_t* source, int width, int height, const SurfaceMemory& dest);
// Rows of width x 4 bytes.
void copyBgra(const std::uint8_t* source, int width, int height, const SurfaceMemory& dest, int reverse);
// Three planes (Y, U, V) with their strides into a YV12 surface (Y, then V, then U).
void copyYuv420(const std::uint8_t* const* planes, const int* strides, int width, int height,
                const SurfaceMemory& dest, int reverse);

} // namespace tachy::display
