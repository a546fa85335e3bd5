#pragma once
// The software backend: frames are composed on the presenting thread into a QImage that a plain
// widget paints. Runs everywhere, Qt's offscreen platform included, and gives exact pixels.

#include "platform/video/SoftwareCompositor.h"
#include "platform/video/VideoDevice.h"

namespace tachy::video {

class SoftwarePresenter;

class SoftwareVideoDevice : public VideoDevice {
public:
    SoftwareVideoDevice(QWidget* window, std::mutex& rendererLock);

    VideoBackend backend() const override { return VideoBackend::Software; }
    // The last picture presented (for tests and prints).
    QImage lastImage() const;

protected:
    bool show(VideoFrame frame) override;

private:
    SoftwareCompositor m_compositor;  // guarded by the renderer's lock
    SoftwarePresenter* m_view;        // owned through the base class
};

} // namespace tachy::video
