#include "display/OverviewCopy.h"

#include <algorithm>
#include <cstring>

using tachy::video::SurfaceFormat;
using tachy::video::VideoRect;
using tachy::video::VideoSurface;

namespace tachy::display {
namespace {

void copyPlaneArea(const std::uint8_t* source, std::uint8_t* target, int pitch,
                   const VideoRect& area, int bytesPerPixel) {
    const auto bytes =
        static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(bytesPerPixel);
    for (int row = area.top; row < area.bottom; ++row) {
        const std::size_t offset =
            static_cast<std::size_t>(row) * static_cast<std::size_t>(pitch) +
            static_cast<std::size_t>(area.left) * static_cast<std::size_t>(bytesPerPixel);
        std::memcpy(target + offset, source + offset, bytes);
    }
}

} // namespace

void copyPictureArea(const VideoSurface& picture, VideoSurface& overview, const VideoRect& area) {
    const VideoRect bounds{0, 0, std::min(picture.width(), overview.width()),
                           std::min(picture.height(), overview.height())};
    const VideoRect clipped = area.intersected(bounds);
    if (clipped.empty() || picture.format() != overview.format() ||
        picture.pitch() != overview.pitch()) {
        return;
    }
    if (picture.format() == SurfaceFormat::Rgb32) {
        copyPlaneArea(picture.bits(), overview.bits(), picture.pitch(), clipped, 4);
        return;
    }
    copyPlaneArea(picture.bits(), overview.bits(), picture.pitch(), clipped, 1);
    const VideoRect chroma{clipped.left / 2, clipped.top / 2, (clipped.right + 1) / 2,
                           (clipped.bottom + 1) / 2};
    copyPlaneArea(picture.bits() + picture.vPlaneOffset(),
                  overview.bits() + overview.vPlaneOffset(), picture.chromaPitch(), chroma, 1);
    copyPlaneArea(picture.bits() + picture.uPlaneOffset(),
                  overview.bits() + overview.uPlaneOffset(), picture.chromaPitch(), chroma, 1);
}

std::vector<VideoRect> outlineStrips(const VideoRect& rect, int margin) {
    const int left = rect.left - margin;
    const int right = rect.right + margin;
    const int top = rect.top - margin;
    const int bottom = rect.bottom + margin;
    return {{left, top, right, rect.top + margin},
            {left, rect.bottom - margin, right, bottom},
            {left, top, rect.left + margin, bottom},
            {rect.right - margin, top, right, bottom}};
}

} // namespace tachy::display
