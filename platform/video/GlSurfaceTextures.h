#pragma once
// The OpenGL textures of one surface: one per plane (Y, U and V for YV12, one for 32-bit), of the
// size of the surface's content, not of the whole surface. They are made once and refreshed in
// place (glTexSubImage2D) from the surface's rows whenever the surface changed; storage is made
// again only when the content size changes.
//
// GUI thread only, with the presenter's context current (also when it is destroyed).

#include <QOpenGLTexture>
#include <array>
#include <cstdint>
#include <memory>

namespace tachy::video {

class VideoSurface;

class GlSurfaceTextures {
public:
    GlSurfaceTextures() = default;
    GlSurfaceTextures(const GlSurfaceTextures&) = delete;
    GlSurfaceTextures& operator=(const GlSurfaceTextures&) = delete;

    // Brings the textures up to date with `surface`; false when GL could not make them.
    bool update(const VideoSurface& surface);
    // Binds the planes to texture units 0, 1 and 2.
    void bind() const;

    // The size of the uploaded content, in surface pixels.
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    bool allocate(const VideoSurface& surface, int width, int height);
    void upload(const VideoSurface& surface);

    std::array<std::unique_ptr<QOpenGLTexture>, 3> m_planes;
    int m_planeCount = 0;
    int m_width = 0;
    int m_height = 0;
    std::uint64_t m_generation = 0;
    bool m_loaded = false;
};

} // namespace tachy::video
