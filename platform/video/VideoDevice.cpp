#include "platform/video/VideoDevice.h"

#include "platform/video/GlVideoDevice.h"
#include "platform/video/SoftwareVideoDevice.h"

#include <QEvent>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace tachy::video {

// Keeps the presenter covering the window's client area.
class VideoDevice::Fit : public QObject {
public:
    Fit(QWidget* window, QWidget* presenter) : m_presenter(presenter) {
        window->installEventFilter(this);
        presenter->setGeometry(window->rect());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            m_presenter->setGeometry(static_cast<QWidget*>(watched)->rect());
        }
        return false;
    }

private:
    QWidget* m_presenter;
};

namespace {

// A context can be made, and it draws on a GPU. A rasterizer on the CPU (Mesa's llvmpipe or
// softpipe) converts and scales a picture with several times the CPU time of the software
// backend, so the software backend is the better choice there.
bool hardwareOpenGl() {
    QOpenGLContext context;
    if (!context.create()) {
        return false;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        return false;
    }
    const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QByteArray name = renderer != nullptr ? QByteArray(renderer).toLower() : QByteArray();
    context.doneCurrent();
    return !name.isEmpty() && !name.contains("llvmpipe") && !name.contains("softpipe") && !name.contains("swrast");
}

} // namespace

VideoBackend VideoDevice::chooseBackend() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return VideoBackend::Software;
    }
    const char* forced = std::getenv("TACHY_VIDEO");  // NOLINT(concurrency-mt-unsafe)
    if (forced != nullptr && std::strcmp(forced, "software") == 0) {
        return VideoBackend::Software;
    }
    if (forced != nullptr && std::strcmp(forced, "opengl") == 0) {
        return VideoBackend::OpenGl;
    }
    static const bool works = hardwareOpenGl();
    return works ? VideoBackend::OpenGl : VideoBackend::Software;
}

std::unique_ptr<VideoDevice> VideoDevice::create(QWidget* window, std::mutex& rendererLock) {
    return create(window, rendererLock, chooseBackend());
}

std::unique_ptr<VideoDevice> VideoDevice::create(QWidget* window, std::mutex& rendererLock, VideoBackend backend) {
    if (window == nullptr) {
        return nullptr;
    }
    if (backend == VideoBackend::OpenGl) {
        return std::make_unique<GlVideoDevice>(window, rendererLock);
    }
    return std::make_unique<SoftwareVideoDevice>(window, rendererLock);
}

VideoDevice::VideoDevice(QWidget* window, std::mutex& rendererLock)
    : m_rendererLock(rendererLock), m_window(window) {}

VideoDevice::~VideoDevice() {
    m_fit.reset();
    delete m_presenter.data();
}

std::unique_ptr<VideoSurface> VideoDevice::createSurface(int width, int height, SurfaceFormat format) const {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    return std::make_unique<VideoSurface>(width, height, format);
}

void VideoDevice::record(const BlitCommand& blit) {
    m_frame.blits.push_back(blit);
}

bool VideoDevice::present(const VideoRect& client) {
    VideoFrame frame = std::move(m_frame);
    m_frame = {};
    if (m_lost) {
        return false;
    }
    frame.client = client;
    return show(std::move(frame));
}

void VideoDevice::discard() {
    m_frame = {};
}

QWidget* VideoDevice::presenter() const {
    return m_presenter.get();
}

void VideoDevice::adoptPresenter(QWidget* presenter) {
    delete m_presenter.data();
    m_presenter = presenter;
    presenter->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_fit = std::make_unique<Fit>(m_window, presenter);
    presenter->show();
}

} // namespace tachy::video
