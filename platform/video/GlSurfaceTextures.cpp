#include "platform/video/GlSurfaceTextures.h"

#include "platform/video/VideoSurface.h"

#include <QOpenGLPixelTransferOptions>

namespace tachy::video {
namespace {

std::unique_ptr<QOpenGLTexture> makePlane(QOpenGLTexture::TextureFormat format, int width,
                                          int height) {
    auto texture = std::make_unique<QOpenGLTexture>(QOpenGLTexture::Target2D);
    texture->setFormat(format);
    texture->setSize(width, height);
    texture->setMipLevels(1);
    texture->setMinMagFilters(QOpenGLTexture::Linear, QOpenGLTexture::Linear);
    texture->setWrapMode(QOpenGLTexture::ClampToEdge);
    const auto pixelFormat =
        format == QOpenGLTexture::R8_UNorm ? QOpenGLTexture::Red : QOpenGLTexture::RGBA;
    texture->allocateStorage(pixelFormat, QOpenGLTexture::UInt8);
    if (!texture->isStorageAllocated()) {
        return nullptr;
    }
    return texture;
}

// Rows of `width` pixels read at `rowLength` pixels apart: only the content leaves the surface.
void loadPlane(QOpenGLTexture& texture, QOpenGLTexture::PixelFormat format, int rowLength,
               const std::uint8_t* bits) {
    QOpenGLPixelTransferOptions options;
    options.setAlignment(1);
    options.setRowLength(rowLength);
    texture.setData(0, 0, 0, texture.width(), texture.height(), 1, format, QOpenGLTexture::UInt8,
                    bits, &options);
}

} // namespace

bool GlSurfaceTextures::update(const VideoSurface& surface) {
    const bool yuv = surface.format() == SurfaceFormat::Yv12;
    // Whole chroma samples: the uploaded part has even sides for YV12.
    const int width =
        yuv ? std::min((surface.contentWidth() + 1) & ~1, surface.width()) : surface.contentWidth();
    const int height = yuv ? std::min((surface.contentHeight() + 1) & ~1, surface.height())
                           : surface.contentHeight();
    if (width != m_width || height != m_height || m_planeCount == 0) {
        if (!allocate(surface, width, height)) {
            return false;
        }
    }
    if (!m_loaded || m_generation != surface.generation()) {
        upload(surface);
        m_generation = surface.generation();
        m_loaded = true;
    }
    return true;
}

bool GlSurfaceTextures::allocate(const VideoSurface& surface, int width, int height) {
    m_planes = {};
    m_planeCount = 0;
    m_loaded = false;
    if (surface.format() == SurfaceFormat::Yv12) {
        m_planes[0] = makePlane(QOpenGLTexture::R8_UNorm, width, height);
        m_planes[1] = makePlane(QOpenGLTexture::R8_UNorm, width / 2, height / 2);
        m_planes[2] = makePlane(QOpenGLTexture::R8_UNorm, width / 2, height / 2);
        m_planeCount = m_planes[0] && m_planes[1] && m_planes[2] ? 3 : 0;
    } else {
        m_planes[0] = makePlane(QOpenGLTexture::RGBA8_UNorm, width, height);
        m_planeCount = m_planes[0] ? 1 : 0;
    }
    m_width = width;
    m_height = height;
    return m_planeCount != 0;
}

void GlSurfaceTextures::upload(const VideoSurface& surface) {
    const std::uint8_t* bits = surface.bits();
    if (surface.format() == SurfaceFormat::Yv12) {
        loadPlane(*m_planes[0], QOpenGLTexture::Red, surface.pitch(), bits);
        loadPlane(*m_planes[1], QOpenGLTexture::Red, surface.chromaPitch(),
                  bits + surface.uPlaneOffset());
        loadPlane(*m_planes[2], QOpenGLTexture::Red, surface.chromaPitch(),
                  bits + surface.vPlaneOffset());
    } else {
        // B, G, R, X bytes arrive as R, G, B, A: the shader swaps them back.
        loadPlane(*m_planes[0], QOpenGLTexture::RGBA, surface.pitch() / 4, bits);
    }
}

void GlSurfaceTextures::bind() const {
    for (int plane = 0; plane < m_planeCount; ++plane) {
        m_planes[static_cast<std::size_t>(plane)]->bind(static_cast<unsigned>(plane));
    }
}

} // namespace tachy::video
