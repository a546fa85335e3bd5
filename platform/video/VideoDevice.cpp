#include "platform/video/VideoDevice.h"

#include "platform/debug/DebugOut.h"
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

// What the default context renders with: its GL_RENDERER string, empty when no context can be
// made current.
QByteArray openGlRenderer() {
    QOpenGLContext context;
    if (!context.create()) {
        return {};
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        return {};
    }
    const auto* renderer = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    QByteArray name = renderer != nullptr ? QByteArray(renderer) : QByteArray();
    context.doneCurrent();
    return name;
}

// Mesa's llvmpipe, softpipe and swrast and the OpenSWR rasterizer draw on the CPU: there they
// convert and scale a picture with more CPU time than the software backend.
bool rasterizesOnCpu(const QByteArray& renderer) {
    const QByteArray name = renderer.toLower();
    return name.contains("llvmpipe") || name.contains("softpipe") || name.contains("swrast") ||
           renderer.contains("SWR") || name.contains("software rasterizer");
}

struct BackendChoice {
    VideoBackend backend;
    QByteArray reason;
};

BackendChoice chooseOnce() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return {VideoBackend::Software, "Qt platform " + platform.toUtf8() + " has no OpenGL"};
    }
    const char* forced = std::getenv("TACHY_VIDEO");  // NOLINT(concurrency-mt-unsafe)
    if (forced != nullptr && std::strcmp(forced, "software") == 0) {
        return {VideoBackend::Software, "TACHY_VIDEO=software"};
    }
    if (forced != nullptr && std::strcmp(forced, "opengl") == 0) {
        return {VideoBackend::OpenGl, "TACHY_VIDEO=opengl"};
    }
    static const QByteArray renderer = openGlRenderer();
    if (renderer.isEmpty()) {
        return {VideoBackend::Software, "no OpenGL context"};
    }
    if (rasterizesOnCpu(renderer)) {
        return {VideoBackend::Software, "OpenGL renders on the CPU (" + renderer + ")"};
    }
    return {VideoBackend::OpenGl, "OpenGL renders on " + renderer};
}

// One line per distinct choice: the first, then each change (a test or bench forcing another).
void logChoice(const BackendChoice& choice) {
    static std::mutex lock;
    static QByteArray last;
    const QByteArray line = QByteArray("Display - video backend: ") +
                            (choice.backend == VideoBackend::OpenGl ? "OpenGL" : "software") + ", " + choice.reason +
                            "\n";
    const std::lock_guard<std::mutex> guard(lock);
    if (line != last) {
        last = line;
        DebugOut::write(line.toStdString());
    }
}

} // namespace

VideoBackend VideoDevice::chooseBackend() {
    const BackendChoice choice = chooseOnce();
    logChoice(choice);
    return choice.backend;
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
