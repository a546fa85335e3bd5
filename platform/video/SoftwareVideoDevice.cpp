#include "platform/video/SoftwareVideoDevice.h"

#include "platform/video/SoftwarePresenter.h"

namespace tachy::video {

SoftwareVideoDevice::SoftwareVideoDevice(QWidget* window, std::mutex& rendererLock)
    : VideoDevice(window, rendererLock), m_view(new SoftwarePresenter(window)) {
    adoptPresenter(m_view);
}

bool SoftwareVideoDevice::show(VideoFrame frame) {
    m_compositor.recycle(m_view->setImage(m_compositor.compose(frame)));
    return true;
}

QImage SoftwareVideoDevice::lastImage() const {
    return m_view->image();
}

} // namespace tachy::video
