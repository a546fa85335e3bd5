#include "util/CUtilRender.h"

#include "util/CUtilFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kBitmapHeaderBytes = 58;  // 14 + 40 + 4

std::uint8_t clampByte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

// BT.601 limited range, in 8.8 fixed point.
void yuvToBgr(int y, int u, int v, std::uint8_t* bgr) {
    const int c = (y - 16) * 298;
    const int d = u - 128;
    const int e = v - 128;
    bgr[0] = clampByte((c + 516 * d + 128) >> 8);
    bgr[1] = clampByte((c - 100 * d - 208 * e + 128) >> 8);
    bgr[2] = clampByte((c + 409 * e + 128) >> 8);
}

void putLittleEndian16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void putLittleEndian32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

void CUtilRender::Rgb32ToRgb24(std::uint8_t* dst, const std::uint8_t* src, int width,
                               int height) const {
    if (dst == nullptr || src == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = src + static_cast<std::size_t>(row) * static_cast<std::size_t>(width) * 4;
        std::uint8_t* out = dst + static_cast<std::size_t>(height - 1 - row) * rowBytes;
        for (int x = 0; x < width; ++x) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out += 3;
            in += 4;
        }
    }
}

void CUtilRender::Yv12ToRgb24(std::uint8_t* dst, const std::uint8_t* y, const std::uint8_t* u,
                              const std::uint8_t* v, int width, int height, int yStride,
                              int uvStride) const {
    if (dst == nullptr || y == nullptr || u == nullptr || v == nullptr || width <= 0 ||
        height <= 0) {
        return;
    }
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* luma = y + static_cast<std::ptrdiff_t>(row) * yStride;
        const std::uint8_t* cb = u + static_cast<std::ptrdiff_t>(row / 2) * uvStride;
        const std::uint8_t* cr = v + static_cast<std::ptrdiff_t>(row / 2) * uvStride;
        std::uint8_t* out = dst + static_cast<std::size_t>(height - 1 - row) * rowBytes;
        for (int x = 0; x < width; ++x) {
            yuvToBgr(luma[x], cb[x / 2], cr[x / 2], out + static_cast<std::size_t>(x) * 3);
        }
    }
}

void CUtilRender::Yuv422ToRgb24(std::uint8_t* dst, const std::uint8_t* yuyv, int width,
                                int height, int stride) const {
    if (dst == nullptr || yuyv == nullptr || width <= 0 || height <= 0) {
        return;
    }
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = yuyv + static_cast<std::ptrdiff_t>(row) * stride;
        std::uint8_t* out = dst + static_cast<std::size_t>(height - 1 - row) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pair = in + static_cast<std::size_t>(x / 2) * 4;
            yuvToBgr(pair[static_cast<std::size_t>(x % 2) * 2], pair[1], pair[3], out + static_cast<std::size_t>(x) * 3);
        }
    }
}

std::uint16_t CUtilRender::GetCRC16(const std::uint8_t* data, std::size_t length) const {
    std::uint32_t accumulator = 0;
    for (std::size_t i = 0; i < length; ++i) {
        accumulator |= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            const bool outgoing = (accumulator & 0x800000U) != 0;
            accumulator = (accumulator << 1) & 0xFFFFFFU;
            if (outgoing) {
                accumulator ^= 0x102100U;
            }
        }
    }
    return static_cast<std::uint16_t>(accumulator >> 8);
}

int CUtilRender::Rgb32ToBitmap(const std::string& path, const std::uint8_t* data, int width,
                               int height) const {
    constexpr int kLargestSide = 65535;
    if (data == nullptr || width <= 0 || height <= 0 || width > kLargestSide ||
        height > kLargestSide) {
        return 0;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t paddedRow = (rowBytes + 3) & ~static_cast<std::size_t>(3);
    const std::size_t pixelBytes = paddedRow * static_cast<std::size_t>(height);
    if (pixelBytes > 0xFFFFFFFFU - kBitmapHeaderBytes) {
        return 0;
    }

    std::vector<std::uint8_t> packed(rowBytes * static_cast<std::size_t>(height));
    Rgb32ToRgb24(packed.data(), data, width, height);
    std::vector<std::uint8_t> pixels(pixelBytes, 0);
    for (int row = 0; row < height; ++row) {
        const auto index = static_cast<std::size_t>(row);
        std::memcpy(pixels.data() + index * paddedRow, packed.data() + index * rowBytes, rowBytes);
    }

    std::uint8_t fileHeader[14] = {'B', 'M'};
    putLittleEndian32(fileHeader + 2, static_cast<std::uint32_t>(pixelBytes) + kBitmapHeaderBytes);
    putLittleEndian16(fileHeader + 6, GetCRC16(pixels.data(), pixels.size()));
    putLittleEndian32(fileHeader + 10, kBitmapHeaderBytes);

    std::uint8_t infoHeader[44] = {};
    putLittleEndian32(infoHeader + 0, 40);
    putLittleEndian32(infoHeader + 4, static_cast<std::uint32_t>(width));
    putLittleEndian32(infoHeader + 8, static_cast<std::uint32_t>(height));
    putLittleEndian16(infoHeader + 12, 1);
    putLittleEndian16(infoHeader + 14, 24);
    putLittleEndian32(infoHeader + 20, static_cast<std::uint32_t>(pixelBytes));

    CUtilFile file;
    if (file.Create(path) == 0) {
        return 0;
    }
    const bool complete = file.Write(fileHeader, sizeof fileHeader) != 0 &&
                          file.Write(infoHeader, sizeof infoHeader) != 0 &&
                          file.Write(pixels.data(), static_cast<std::uint32_t>(pixels.size())) != 0;
    return complete ? 1 : 0;
}
