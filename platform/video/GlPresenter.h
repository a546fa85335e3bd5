#pragma once
// The OpenGL backend's window: on the GUI thread it uploads the surfaces a frame uses into
// textures (again only when a surface changed), then draws each blit as a textured quad whose
// shader converts BT.709 YCbCr to RGB and applies the ProcAmp values, after filling the blit's
// target with its background. Frames arrive from any thread; the repaint is queued.
//
// Locks: paintGL takes the renderer's lock (surfaces are read), then m_frameLock; a presenting
// thread holds the renderer's lock when it hands over a frame. Same order on both sides.

#include "platform/video/VideoFrame.h"

#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace tachy::video {

class GlPresenter : public QOpenGLWidget, protected QOpenGLExtraFunctions {
public:
    GlPresenter(QWidget* parent, std::mutex& rendererLock, std::atomic<bool>& lost);
    ~GlPresenter() override;
    GlPresenter(const GlPresenter&) = delete;
    GlPresenter& operator=(const GlPresenter&) = delete;

    // Called with the renderer's lock held.
    void setFrame(VideoFrame frame);
    void dropFrame();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    struct Textures {
        std::uint64_t generation = 0;
        int width = 0;   // the part of the surface uploaded
        int height = 0;
        unsigned planes[3] = {};
    };

    bool buildProgram();
    Textures* texturesFor(const VideoSurface& surface, int width, int height);
    void upload(const VideoSurface& surface, Textures& textures);
    void drawBlit(const BlitCommand& blit, const VideoFrame& frame, int viewWidth, int viewHeight);
    void releaseTextures();

    std::mutex& m_rendererLock;
    std::atomic<bool>& m_lost;
    std::mutex m_frameLock;
    VideoFrame m_frame;  // guarded by m_frameLock
    // GUI thread only.
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLVertexArrayObject m_vertexArray;
    std::map<std::uint64_t, Textures> m_textures;  // by surface id
};

} // namespace tachy::video
