// Uploads into the picture surfaces, and the print buffers.
#include "display/CDxDisplay.h"

#include "display/PictureUpload.h"

using tachy::display::SurfaceMemory;
using tachy::video::SurfaceFormat;
using tachy::video::VideoSurface;

// The surface exists, holds the picture, and has the format the picture needs: formats 1, 2
// and 4 go to 32-bit surfaces, 6 to YV12 (under m_lock).
bool CDxDisplay::AcceptsUpload(int screen, int width, int height, int format) const {
    if (m_resetFlag || !m_drawing || screen < 0 || screen >= static_cast<int>(m_surfaces.size())) {
        return false;
    }
    const VideoSurface* surface = m_surfaces[static_cast<std::size_t>(screen)].get();
    if (surface == nullptr || width <= 0 || height <= 0 || width > surface->width() || height > surface->height()) {
        return false;
    }
    const bool yuvSurface = surface->format() == SurfaceFormat::Yv12;
    switch (format) {
    case tachy::display::kPackedYuv422:
    case tachy::display::kPlanarYuv422:
    case tachy::display::kBgra32:
        return !yuvSurface;
    case tachy::display::kPlanarYuv420:
        return yuvSurface;
    default:
        return false;
    }
}

void CDxDisplay::FinishUpload(int width, int height) {
    m_pictureWidth = static_cast<unsigned long>(width);
    m_pictureHeight = static_cast<unsigned long>(height);
    m_wideFlag = static_cast<double>(width) / height > 1.7 ? 1 : 2;
    m_hasPicture = true;
}

int CDxDisplay::UploadPlanes(int screen, const std::uint8_t* const* planes, int width, int height, int format,
                             const int* strides) {
    if (height == 1088) {
        height = 1080;
    }
    if (planes == nullptr || strides == nullptr || format != tachy::display::kPlanarYuv420) {
        return UploadBuffer(screen, planes != nullptr ? planes[0] : nullptr, width, height, format);
    }
    const std::lock_guard<std::mutex> guard(m_lock);
    if (!AcceptsUpload(screen, width, height, format) || planes[0] == nullptr || planes[1] == nullptr ||
        planes[2] == nullptr) {
        return 0;
    }
    VideoSurface& surface = *m_surfaces[static_cast<std::size_t>(screen)];
    const VideoSurface::Locked locked = surface.lock();
    tachy::display::copyYuv420(planes, strides, width, height, {locked.bits, locked.pitch, surface.height()}, m_reverse);
    surface.setContentSize(width, height);
    surface.unlock();
    m_pictureFormat = format;
    FinishUpload(width, height);
    return 1;
}

int CDxDisplay::UploadBuffer(int screen, const std::uint8_t* data, int width, int height, int format) {
    if (height == 1088) {
        height = 1080;
    }
    const std::lock_guard<std::mutex> guard(m_lock);
    if (data == nullptr || format == tachy::display::kPlanarYuv420 || !AcceptsUpload(screen, width, height, format)) {
        return 0;
    }
    VideoSurface& surface = *m_surfaces[static_cast<std::size_t>(screen)];
    const VideoSurface::Locked locked = surface.lock();
    const SurfaceMemory memory{locked.bits, locked.pitch, surface.height()};
    if (format == tachy::display::kPackedYuv422) {
        tachy::display::convertPackedYuv422(data, width, height, memory);
    } else if (format == tachy::display::kPlanarYuv422) {
        tachy::display::convertPlanarYuv422(data, width, height, memory);
    } else {
        tachy::display::copyBgra(data, width, height, memory, m_reverse);
    }
    surface.setContentSize(width, height);
    surface.unlock();
    m_pictureFormat = format;
    FinishUpload(width, height);
    return 1;
}

// The buffer of `screen` filled from `source`, 32-bit rows of width x 4 bytes. A picture larger
// than the buffer, or another format, leaves it as it was.
unsigned char* CDxDisplay::PrintData(int screen, const unsigned char* source, unsigned long width,
                                     unsigned long height, int format) {
    if (screen < 0 || screen >= static_cast<int>(m_printBuffers.size())) {
        return nullptr;
    }
    unsigned char* buffer = m_printBuffers[static_cast<std::size_t>(screen)].get();
    if (source == nullptr || width == 0 || height == 0 || width > 4096 || height > 4096 ||
        width * height * 4 > kPrintBufferBytes) {
        return buffer;
    }
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    const SurfaceMemory memory{buffer, w * 4, h};
    if (format == tachy::display::kPackedYuv422) {
        tachy::display::convertPackedYuv422(source, w, h, memory);
    } else if (format == tachy::display::kPlanarYuv422) {
        tachy::display::convertPlanarYuv422(source, w, h, memory);
    } else if (format == tachy::display::kBgra32) {
        tachy::display::copyBgra(source, w, h, memory, 0);
    }
    return buffer;
}
