#include "platform/video/GlVideoDevice.h"

#include "platform/video/GlPresenter.h"

namespace tachy::video {

GlVideoDevice::GlVideoDevice(QWidget* window, std::mutex& rendererLock)
    : VideoDevice(window, rendererLock), m_view(new GlPresenter(window, rendererLock, m_glFailed)) {
    adoptPresenter(m_view);
}

GlVideoDevice::~GlVideoDevice() {
    // The presenter reads surfaces while it paints; it goes before anything it points at.
    delete presenter();
}

bool GlVideoDevice::show(VideoFrame frame) {
    if (m_glFailed) {
        markLost();
        return false;
    }
    m_view->setFrame(std::move(frame));
    return true;
}

void GlVideoDevice::dropFrames() {
    VideoDevice::dropFrames();
    m_view->dropFrame();
}

bool GlVideoDevice::drewPicture() const {
    return m_view->drewPicture();
}

QImage GlVideoDevice::lastImage() const {
    return m_view->grabFramebuffer();
}

} // namespace tachy::video
