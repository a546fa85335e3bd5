#pragma once
// Picture conversions to bottom-up 24-bit BGR rows (the layout of a BMP file), the suite's
// 16-bit checksum, and 24-bit BMP writing.

#include <cstddef>
#include <cstdint>
#include <string>

class CUtilRender {
public:
    CUtilRender() = default;
    ~CUtilRender() = default;

    // Top-down 32-bit pixels (B, G, R, unused) to bottom-up 24-bit rows of width * 3 bytes
    // with no padding: source row 0 becomes the last destination row.
    void Rgb32ToRgb24(std::uint8_t* dst, const std::uint8_t* src, int width, int height) const;

    // Planar YUV 4:2:0 (YV12's planes, each with its stride) to the same 24-bit layout, with
    // BT.601 limited-range coefficients. Odd sizes use the chroma of the pixel to the left/top.
    void Yv12ToRgb24(std::uint8_t* dst, const std::uint8_t* y, const std::uint8_t* u,
                     const std::uint8_t* v, int width, int height, int yStride,
                     int uvStride) const;
    // Packed YUV 4:2:2 (Y0 U Y1 V) with the given row stride to the same 24-bit layout.
    void Yuv422ToRgb24(std::uint8_t* dst, const std::uint8_t* yuyv, int width, int height,
                       int stride) const;

    // CRC-CCITT (polynomial 0x1021) on a 24-bit accumulator starting at 0, without trailing
    // zero bytes; 0 for no data.
    std::uint16_t GetCRC16(const std::uint8_t* data, std::size_t length) const;

    // Writes a 24-bit BMP of the top-down 32-bit picture: 14-byte file header whose first
    // reserved word is GetCRC16 of the pixel bytes, a 40-byte info header and 4 zero bytes,
    // then the pixels from offset 58. Rows are padded to 4 bytes so that every reader accepts
    // the file. 1 when the file was written whole.
    int Rgb32ToBitmap(const std::string& path, const std::uint8_t* data, int width,
                      int height) const;
};
