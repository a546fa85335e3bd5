#include "viewer/exports/SnapshotPicture.h"

#include "engine/IIntrReplayEx.h"
#include "picturedec/IVideoDecoder.h"

#include <algorithm>
#include <cstring>

namespace viewer::exports {

namespace {

int Component(double value) {
    // The cast truncates towards zero; anything it leaves negative is held at 0 anyway.
    return std::clamp(static_cast<int>(value), 0, 255);
}

const unsigned char* Plane(const _AV_DATA& planes, int index) {
    return reinterpret_cast<const unsigned char*>(planes.value[index]);
}

int Stride(const _AV_DATA& planes, int index) {
    return static_cast<int>(planes.value[8 + index]);
}

} // namespace

QRgb SnapshotPicture::YuvToRgb(int luma, int blueDifference, int redDifference) {
    const double u = blueDifference - 128;
    const double v = redDifference - 128;
    const int red = Component(luma + 1.370705 * v);
    const int green = Component(luma - 0.698001 * v - 0.337633 * u);
    const int blue = Component(luma + 1.732446 * u);
    return 0xFF000000u | static_cast<QRgb>(red << 16 | green << 8 | blue);
}

QImage SnapshotPicture::FromBgra(const unsigned char* pixels, int width, int height, int stride) {
    if (pixels == nullptr || width <= 0 || height <= 0) {
        return {};
    }
    const int rowBytes = width * 4;
    if (stride == 0) {
        stride = rowBytes;
    }
    if (stride < rowBytes) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::memcpy(row, pixels + static_cast<std::ptrdiff_t>(y) * stride,
                    static_cast<std::size_t>(rowBytes));
        // The fourth byte is whatever the decoder left there; the image is opaque.
        for (int x = 0; x < width; ++x) {
            row[x] |= 0xFF000000u;
        }
    }
    return image;
}

QImage SnapshotPicture::FromYuv420(const unsigned char* luma, int lumaStride,
                                   const unsigned char* blue, int blueStride,
                                   const unsigned char* red, int redStride, int width, int height) {
    if (luma == nullptr || blue == nullptr || red == nullptr || width <= 0 || height <= 0 ||
        lumaStride < width || blueStride < (width + 1) / 2 || redStride < (width + 1) / 2) {
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const unsigned char* lumaRow = luma + static_cast<std::ptrdiff_t>(y) * lumaStride;
        const unsigned char* blueRow = blue + static_cast<std::ptrdiff_t>(y / 2) * blueStride;
        const unsigned char* redRow = red + static_cast<std::ptrdiff_t>(y / 2) * redStride;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = YuvToRgb(lumaRow[x], blueRow[x / 2], redRow[x / 2]);
        }
    }
    return image;
}

QImage SnapshotPicture::FromPlanes(int width, int height, int format, const _AV_DATA& planes) {
    switch (format) {
    case kFormatBgra:
        return FromBgra(Plane(planes, 0), width, height, Stride(planes, 0));
    case kFormatYuvPlanar:
        return FromYuv420(Plane(planes, 0), Stride(planes, 0), Plane(planes, 1), Stride(planes, 1),
                          Plane(planes, 2), Stride(planes, 2), width, height);
    default:
        return {};
    }
}

QImage SnapshotPicture::FromEngine(IIntrReplayEx& engine, int channel) {
    int width = 0;
    int height = 0;
    int format = 0;
    _AV_DATA planes{};
    if (engine.GetLastVideoImage2(channel, &width, &height, &format, &planes) == 0) {
        return {};
    }
    return FromPlanes(width, height, format, planes);
}

} // namespace viewer::exports
