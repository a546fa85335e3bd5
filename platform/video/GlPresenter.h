#pragma once
// The OpenGL backend's window: on the GUI thread it brings the textures of the surfaces a frame
// uses up to date (kept between frames, refreshed only when a surface changed), then draws each
// blit as a textured quad whose shader converts BT.709 YCbCr to RGB and applies the ProcAmp
// values, after filling the blit's target with its background. Frames arrive from any thread;
// the repaint is queued.
//
// Setting TACHY_VIDEO_FAULT=shader in the environment breaks the fragment shader's source, so
// that the program never builds: the tests use it to drive the display's fall-back to software.
//
// Locks: paintGL takes the renderer's lock (surfaces are read), then m_frameLock; a presenting
// thread holds the renderer's lock when it hands over a frame. Same order on both sides.

#include "platform/video/GlSurfaceTextures.h"
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
    // True once a frame's picture has been drawn (any thread).
    bool drewPicture() const { return m_drewPicture; }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    bool buildProgram();
    GlSurfaceTextures* texturesFor(const VideoSurface& surface);
    void drawBlit(const BlitCommand& blit, const VideoFrame& frame, int viewWidth, int viewHeight);
    void dropUnusedTextures(const VideoFrame& frame);
    void releaseTextures();

    std::mutex& m_rendererLock;
    std::atomic<bool>& m_lost;
    std::atomic<bool> m_drewPicture{false};
    std::atomic<bool> m_surfacesFreed{false};  // set when frames are dropped: surfaces may go
    std::mutex m_frameLock;
    VideoFrame m_frame;  // guarded by m_frameLock
    // GUI thread only.
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLVertexArrayObject m_vertexArray;
    std::map<std::uint64_t, std::unique_ptr<GlSurfaceTextures>> m_textures;  // by surface id
};

} // namespace tachy::video
