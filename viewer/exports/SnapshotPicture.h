#pragma once
// One channel's picture as the replay engine hands it (32-bit rows or planar YUV 4:2:0), turned
// into a 32-bit image that the snapshot files and the printed page are made from.

#include <QImage>
#include <QRgb>

class IIntrReplayEx;
struct _AV_DATA;

namespace viewer::exports {

class SnapshotPicture {
public:
    // Picture format codes of GetLastVideoImage2.
    static constexpr int kFormatBgra = 4;
    static constexpr int kFormatYuvPlanar = 6;

    // The current picture of a channel; a null image when the channel has none or its format
    // is neither of the two above.
    static QImage FromEngine(IIntrReplayEx& engine, int channel);
    // The picture described by the engine's plane record (addresses in values 0 to 2, strides
    // in 8 to 10). A null image for other formats, missing planes or an empty size.
    static QImage FromPlanes(int width, int height, int format, const _AV_DATA& planes);

    // 32-bit rows, blue first in memory; a stride of 0 means width * 4.
    static QImage FromBgra(const unsigned char* pixels, int width, int height, int stride);
    // Planar YUV 4:2:0: one chroma row per two picture rows, one chroma sample per two pixels.
    static QImage FromYuv420(const unsigned char* luma, int lumaStride, const unsigned char* blue,
                             int blueStride, const unsigned char* red, int redStride, int width,
                             int height);
    // One pixel: each component truncated to an integer, then held to 0..255.
    static QRgb YuvToRgb(int luma, int blueDifference, int redDifference);
};

} // namespace viewer::exports
