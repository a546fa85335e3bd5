#pragma once
// A picture surface in main memory: 32-bit (B, G, R, X) or YV12 (Y plane, V plane at pitch x
// height, U plane at pitch x height x 5/4, chroma rows of half the pitch). Writers lock it for a
// pointer and pitch; unlocking marks the content changed so a backend that keeps a copy (the
// OpenGL textures) uploads it again. A writer that fills only the top-left part (a picture smaller
// than the surface) says how much, so a backend copies that part alone. Callers serialise access
// with the renderer's lock.

#include "platform/video/VideoTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tachy::video {

class VideoSurface {
public:
    struct Locked {
        std::uint8_t* bits = nullptr;
        int pitch = 0;
    };

    VideoSurface(int width, int height, SurfaceFormat format);
    VideoSurface(const VideoSurface&) = delete;
    VideoSurface& operator=(const VideoSurface&) = delete;

    Locked lock();
    void unlock();
    // The top-left part that holds the content (the whole surface until a writer says otherwise).
    void setContentSize(int width, int height);
    int contentWidth() const { return m_contentWidth; }
    int contentHeight() const { return m_contentHeight; }

    int width() const { return m_width; }
    int height() const { return m_height; }
    SurfaceFormat format() const { return m_format; }
    int pitch() const { return m_pitch; }
    const std::uint8_t* bits() const { return m_bits.get(); }
    std::uint8_t* bits() { return m_bits.get(); }
    // YV12 planes.
    std::size_t vPlaneOffset() const { return static_cast<std::size_t>(m_pitch) * m_height; }
    std::size_t uPlaneOffset() const { return vPlaneOffset() * 5 / 4; }
    int chromaPitch() const { return m_pitch / 2; }

    // Distinct for every surface ever made, so a cache keyed by it never mistakes a new surface
    // at a freed one's address for the old one.
    std::uint64_t id() const { return m_id; }
    // Changes whenever a lock ends.
    std::uint64_t generation() const { return m_generation; }

private:
    int m_width;
    int m_height;
    SurfaceFormat m_format;
    int m_pitch;
    int m_contentWidth;
    int m_contentHeight;
    std::unique_ptr<std::uint8_t[]> m_bits;
    std::uint64_t m_id;
    std::uint64_t m_generation = 0;
};

} // namespace tachy::video
