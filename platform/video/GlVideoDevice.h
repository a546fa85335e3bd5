#pragma once
// The OpenGL backend: frames go to a QOpenGLWidget covering the window, which converts, scales
// and adjusts them in a shader on the GUI thread.

#include "platform/video/VideoDevice.h"

#include <QImage>

namespace tachy::video {

class GlPresenter;

class GlVideoDevice : public VideoDevice {
public:
    GlVideoDevice(QWidget* window, std::mutex& rendererLock);
    ~GlVideoDevice() override;

    VideoBackend backend() const override { return VideoBackend::OpenGl; }
    void dropFrames() override;
    bool drewPicture() const override;
    // Renders the last frame and reads it back (GUI thread; for tests and prints).
    QImage lastImage() const;

protected:
    bool show(VideoFrame frame) override;

private:
    std::atomic<bool> m_glFailed{false};  // set by the presenter when GL cannot draw
    GlPresenter* m_view;                  // owned through the base class
};

} // namespace tachy::video
