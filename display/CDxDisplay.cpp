#include "display/CDxDisplay.h"

#include "platform/debug/DebugOut.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>
#include <cstring>

using tachy::DebugOut;
using tachy::video::ProcAmpProperty;
using tachy::video::ProcAmpRange;
using tachy::video::SurfaceFormat;
using tachy::video::VideoProcessor;
using tachy::video::VideoRect;
using tachy::video::VideoSurface;

namespace {

constexpr int kLogoWidth = 352;
constexpr int kLogoHeight = 240;

int propertyIndex(ProcAmpProperty property) {
    return static_cast<int>(property);
}

// The bitmap, else the program's "logo/logo.bmp" at 352 x 240, else black 320 x 240.
QImage logoPicture(const QImage* bitmap) {
    if (bitmap != nullptr && !bitmap->isNull()) {
        return bitmap->convertToFormat(QImage::Format_RGB32);
    }
    const QImage file(QCoreApplication::applicationDirPath() + QStringLiteral("/logo/logo.bmp"));
    if (!file.isNull()) {
        return file.scaled(kLogoWidth, kLogoHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    }
    QImage black(320, 240, QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
}

} // namespace

CDxDisplay::CDxDisplay() {
    for (auto& buffer : m_printBuffers) {
        buffer = std::make_unique_for_overwrite<unsigned char[]>(kPrintBufferBytes);
    }
    QueryProcAmpRanges();
}

CDxDisplay::~CDxDisplay() {
    ReleaseRenderer();
}

int CDxDisplay::CreateRenderer(QWidget* window, int screenFormat, const QImage* logo) {
    if (window == nullptr) {
        return 0;
    }
    // The device's window work (an OpenGL widget may paint at once, taking the lock) happens
    // outside the lock, and so does the destruction of a device it replaces.
    std::unique_ptr<tachy::video::VideoDevice> device = MakeDevice(window);
    std::unique_ptr<tachy::video::VideoDevice> old;
    const std::lock_guard<std::mutex> guard(m_lock);
    old = ReleaseObjects();
    m_screenFormat = screenFormat >= 5 && screenFormat <= 7 ? screenFormat : 4;
    if (logo != nullptr && !logo->isNull()) {
        m_defaultLogoBitmap = *logo;
    }
    m_device = std::move(device);
    if (!CreateSurfaces()) {
        device = ReleaseObjects();
        return 0;
    }
    if (logo != nullptr) {
        m_defaultLogo = MakeLogo(&m_defaultLogoBitmap, false);
    }
    m_window = window;
    return 1;
}

// The two picture surfaces on the device (under m_lock).
bool CDxDisplay::CreateSurfaces() {
    if (!m_device) {
        return false;
    }
    DebugOut::write("m_pD3dDeviceManager->OpenDeviceHandle\n");
    DebugOut::write("m_pD3dDeviceManager->LockDevice\n");
    DebugOut::write("end of CreateVideoProcessor\n");
    const SurfaceFormat format = m_screenFormat == 4 ? SurfaceFormat::Rgb32 : SurfaceFormat::Yv12;
    m_surfaces[0] = m_device->createSurface(kSurfaceWidth, kSurfaceHeight, format);
    m_surfaces[1] = m_device->createSurface(kSurfaceWidth, kSurfaceHeight, format);
    return m_surfaces[0] && m_surfaces[1];
}

// The processor's ranges, with saturation cut to be symmetric around its default so that the
// middle of the control is the neutral value. The user values start at the defaults.
void CDxDisplay::QueryProcAmpRanges() {
    for (const ProcAmpProperty property :
         {ProcAmpProperty::Brightness, ProcAmpProperty::Contrast, ProcAmpProperty::Saturation}) {
        ProcAmpControl& control = m_procAmp[static_cast<std::size_t>(propertyIndex(property))];
        control.supported = VideoProcessor::procAmpRange(property, control.range);
        if (control.supported && property == ProcAmpProperty::Saturation) {
            ProcAmpRange& range = control.range;
            const int distance = std::min(range.defaultValue - range.minimum, range.maximum - range.defaultValue);
            range.minimum = range.defaultValue - distance;
            range.maximum = range.defaultValue + distance;
        }
        control.user = control.range.defaultValue;
    }
}

std::unique_ptr<VideoSurface> CDxDisplay::MakeLogo(const QImage* bitmap, bool withCaption) const {
    QImage picture = logoPicture(bitmap);
    if (withCaption && m_hasCaption) {
        QPainter painter(&picture);
        painter.setFont(m_captionFont);
        painter.setPen(QColor(static_cast<int>(m_captionColour & 0xFF), static_cast<int>((m_captionColour >> 8) & 0xFF),
                              static_cast<int>((m_captionColour >> 16) & 0xFF)));
        const QSize size = picture.deviceIndependentSize().toSize();
        painter.drawText(QRect(10, 10, size.width() - 10, size.height() - 10), Qt::AlignLeft | Qt::AlignTop,
                         m_captionText);
    }
    if (!m_device) {
        return nullptr;
    }
    auto surface = m_device->createSurface(picture.width(), picture.height(), SurfaceFormat::Rgb32);
    if (!surface) {
        return nullptr;
    }
    const VideoSurface::Locked locked = surface->lock();
    for (int row = 0; row < picture.height(); ++row) {
        std::memcpy(locked.bits + static_cast<std::ptrdiff_t>(row) * locked.pitch, picture.constScanLine(row),
                    static_cast<std::size_t>(picture.width()) * 4);
    }
    surface->unlock();
    return surface;
}

int CDxDisplay::LoadRendererLogo(int index, const QImage* bitmap) {
    if (index < 0 || index > 2) {
        return 0;
    }
    const std::lock_guard<std::mutex> guard(m_lock);
    const auto slot = static_cast<std::size_t>(index);
    m_logoBitmaps[slot] = bitmap != nullptr ? *bitmap : QImage();
    if (m_device) {
        m_device->dropFrames();
    }
    m_logos[slot] = MakeLogo(&m_logoBitmaps[slot], true);
    return m_logos[slot] ? 1 : 0;
}

void CDxDisplay::DeleteRendererLogos() {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (m_device) {
        m_device->dropFrames();
    }
    m_defaultLogo.reset();
    for (auto& logo : m_logos) {
        logo.reset();
    }
}

void CDxDisplay::SetCaption(const QFont& font, const QString& text, unsigned long colour) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_captionFont = font;
    m_captionText = text;
    m_captionColour = colour;
    m_hasCaption = true;
}

// Frees what the device made and hands the device back, to be destroyed once the lock is left
// (its window may paint while it goes). Under m_lock.
std::unique_ptr<tachy::video::VideoDevice> CDxDisplay::ReleaseObjects() {
    if (m_device) {
        m_device->dropFrames();
    }
    m_defaultLogo.reset();
    for (auto& logo : m_logos) {
        logo.reset();
    }
    for (auto& surface : m_surfaces) {
        surface.reset();
    }
    return std::move(m_device);
}

void CDxDisplay::ReleaseRenderer() {
    std::unique_ptr<tachy::video::VideoDevice> old;
    const std::lock_guard<std::mutex> guard(m_lock);
    old = ReleaseObjects();
    m_window = nullptr;
}

// After a lost device: everything is made again on the same window, the logos included. An
// OpenGL device that keeps failing (its shader does not build, its context is lost again before
// it shows anything) is replaced by the software backend for the rest of the display's life.
int CDxDisplay::ResetRenderer() {
    if (!m_resetFlag) {
        return 0;
    }
    QWidget* window = nullptr;
    {
        std::unique_ptr<tachy::video::VideoDevice> old;
        const std::lock_guard<std::mutex> guard(m_lock);
        window = m_window;
        CountOpenGlFailure(m_device.get());
        old = ReleaseObjects();
    }
    if (window == nullptr) {
        return 0;
    }
    std::unique_ptr<tachy::video::VideoDevice> device = MakeDevice(window);
    const std::lock_guard<std::mutex> guard(m_lock);
    m_device = std::move(device);
    if (!CreateSurfaces()) {
        device = ReleaseObjects();
        return 0;
    }
    m_defaultLogo = MakeLogo(&m_defaultLogoBitmap, false);
    for (std::size_t index = 0; index < m_logos.size(); ++index) {
        if (!m_logoBitmaps[index].isNull()) {
            m_logos[index] = MakeLogo(&m_logoBitmaps[index], true);
        }
    }
    m_hasPicture = false;
    m_resetFlag = false;
    return 1;
}

// The backend chosen for the process, or software once OpenGL has failed for good here.
std::unique_ptr<tachy::video::VideoDevice> CDxDisplay::MakeDevice(QWidget* window) {
    if (m_softwareFallback) {
        return tachy::video::VideoDevice::create(window, m_lock, tachy::video::VideoBackend::Software);
    }
    return tachy::video::VideoDevice::create(window, m_lock);
}

// Counts the OpenGL devices lost in a row without showing a picture (a device that showed one
// starts the count again); at kOpenGlAttempts the display gives up on OpenGL. Under m_lock.
void CDxDisplay::CountOpenGlFailure(const tachy::video::VideoDevice* device) {
    if (device == nullptr || device->backend() != tachy::video::VideoBackend::OpenGl || m_softwareFallback) {
        return;
    }
    m_openGlFailures = device->drewPicture() ? 1 : m_openGlFailures + 1;
    if (m_openGlFailures >= kOpenGlAttempts) {
        m_softwareFallback = true;
        DebugOut::printf("Display %d - OpenGL failed %d times in a row; drawing in software from now on\n",
                         m_displayId.load(), m_openGlFailures);
    }
}

int CDxDisplay::GetZoomInfo() {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_zoom.level;
}

void CDxDisplay::SetZoomInfo(int level, int x, int y) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_zoom.level = std::clamp(level, 64, 1024);
    m_zoom.pointX = x;
    m_zoom.pointY = y;
}

void CDxDisplay::Move(int x0, int y0, int x1, int y1) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_zoom.panX += x1 - x0;
    m_zoom.panY += y1 - y0;
}

void CDxDisplay::GetDispZoomStatus(int& level, int& x, int& y, VideoRect& zoomed, VideoRect& client) {
    const std::lock_guard<std::mutex> guard(m_lock);
    level = m_zoom.level;
    x = m_zoom.pointX;
    y = m_zoom.pointY;
    zoomed = m_zoom.zoomed;
    client = m_zoom.lastClient;
}

void CDxDisplay::SetDispZoomStatus(int& level, int& x, int& y, VideoRect& zoomed, VideoRect& client) {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_zoom.level = level;
    m_zoom.pointX = x;
    m_zoom.pointY = y;
    m_zoom.zoomed = zoomed;
    m_zoom.lastClient = client;
}

void CDxDisplay::SetDispZoomPIP(int shown, int corner) {
    m_overviewShown = shown;
    m_overviewCorner = corner;
}

int CDxDisplay::GetZoomPIPshow() {
    return m_overviewShown;
}

int CDxDisplay::GetZoomPIPpos() {
    return m_overviewCorner;
}

void CDxDisplay::SetAspect(unsigned long mode, int keepRatio) {
    m_aspectMode = mode;
    m_keepRatio = keepRatio;
}

void CDxDisplay::SetOriginalSize(int original) {
    m_originalSize = original;
    const std::lock_guard<std::mutex> guard(m_lock);
    m_zoom.level = 256;
    m_zoom.pointX = 0;
    m_zoom.pointY = 0;
}

void CDxDisplay::SetProcAmp(ProcAmpProperty property, int value) {
    const std::lock_guard<std::mutex> guard(m_lock);
    ProcAmpControl& control = m_procAmp[static_cast<std::size_t>(propertyIndex(property))];
    control.user = tachy::display::mapProcAmp(value, control.range, property == ProcAmpProperty::Contrast);
}

tachy::video::ProcAmpValues CDxDisplay::UserProcAmp() {
    const std::lock_guard<std::mutex> guard(m_lock);
    return CurrentProcAmp();
}

// The user values of the controls the processor supports (under m_lock).
tachy::video::ProcAmpValues CDxDisplay::CurrentProcAmp() const {
    tachy::video::ProcAmpValues values;
    if (m_procAmp[0].supported) {
        values.brightness = m_procAmp[0].user;
    }
    if (m_procAmp[1].supported) {
        values.contrast = m_procAmp[1].user;
    }
    if (m_procAmp[2].supported) {
        values.saturation = m_procAmp[2].user;
    }
    return values;
}

ProcAmpRange CDxDisplay::Range(ProcAmpProperty property) const {
    return m_procAmp[static_cast<std::size_t>(propertyIndex(property))].range;
}
