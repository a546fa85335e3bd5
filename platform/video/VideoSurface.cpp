#include "platform/video/VideoSurface.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace tachy::video {
namespace {

std::atomic<std::uint64_t> nextSurfaceId{1};

std::size_t surfaceBytes(int pitch, int height, SurfaceFormat format) {
    const auto plane = static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height);
    return format == SurfaceFormat::Yv12 ? plane * 3 / 2 : plane;
}

} // namespace

VideoSurface::VideoSurface(int width, int height, SurfaceFormat format)
    : m_width(width), m_height(height), m_format(format),
      m_pitch(format == SurfaceFormat::Yv12 ? (width + 15) / 16 * 16 : width * 4), m_contentWidth(width),
      m_contentHeight(height),
      m_bits(std::make_unique_for_overwrite<std::uint8_t[]>(surfaceBytes(m_pitch, height, format))),
      m_id(nextSurfaceId++) {
    // Black: zero for 32-bit, studio black and neutral chroma for YV12.
    if (format == SurfaceFormat::Yv12) {
        std::memset(m_bits.get(), 16, vPlaneOffset());
        std::memset(m_bits.get() + vPlaneOffset(), 128, vPlaneOffset() / 2);
    } else {
        std::memset(m_bits.get(), 0, surfaceBytes(m_pitch, height, format));
    }
}

VideoSurface::Locked VideoSurface::lock() {
    return {m_bits.get(), m_pitch};
}

void VideoSurface::unlock() {
    ++m_generation;
}

void VideoSurface::setContentSize(int width, int height) {
    m_contentWidth = std::clamp(width, 1, m_width);
    m_contentHeight = std::clamp(height, 1, m_height);
}

} // namespace tachy::video
