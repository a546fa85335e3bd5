#include "viewer/boxes/DisplayHost.h"

#include "display/CWndDisplay.h"
#include "skinres/CExImageManager.h"

namespace viewer {
namespace {

QImage skinImage(const CExImageManager& images, const QString& name) {
    const QImage* image = name.isEmpty() ? nullptr : images.GetImageFile(name);
    return image != nullptr ? *image : QImage();
}

CWndDisplay* attempt(QWidget* host, const CExImageManager& images, int kind, int format, const DisplaySetup& setup) {
    CWndDisplay* display = CWndDisplay::CreateDisplay(kind, host);
    if (display == nullptr) {
        return nullptr;
    }
    const QImage logo = skinImage(images, setup.defaultLogo);
    if (display->CreateScreen(host, 1920, 1080, &logo, format) == 0) {
        delete display;  // NOLINT(cppcoreguidelines-owning-memory): not kept, the host tries again
        return nullptr;
    }
    return display;
}

} // namespace

CWndDisplay* CreateHostDisplay(QWidget* host, const CExImageManager& images, DisplaySetup& setup) {
    CWndDisplay* display = attempt(host, images, 1, setup.format, setup);
    if (display == nullptr) {
        display = attempt(host, images, setup.fallbackKind, setup.fallbackFormat, setup);
        if (display == nullptr) {
            return nullptr;
        }
        setup.format = setup.fallbackFormat;
    }
    for (int index = 0; index < 3; ++index) {
        if (!setup.logos[index].isEmpty()) {
            const QImage logo = skinImage(images, setup.logos[index]);
            display->LoadLogo(index, &logo);
        }
    }
    return display;
}

void ZoomIn(CWndDisplay& display) {
    int level = 0;
    QPoint point;
    QRect zoomed;
    QRect client;
    display.GetDispZoomStatus(level, point, zoomed, client);
    if (level == 256) {
        point = client.center();
        level = 512;
    } else {
        point = zoomed.center();
        level = level == 512 ? 768 : 1024;
    }
    display.SetDispZoomStatus(level, point, zoomed, client);
}

void ZoomOut(CWndDisplay& display, bool reset) {
    int level = 0;
    QPoint point;
    QRect zoomed;
    QRect client;
    display.GetDispZoomStatus(level, point, zoomed, client);
    if (reset) {
        level = 256;
    } else {
        if (point.x() < 0 || point.y() < 0) {
            point = client.center();
        }
        level = level == 1024 ? 768 : level == 768 ? 512 : 256;
    }
    display.SetDispZoomStatus(level, point, zoomed, client);
}

bool RecoverDisplay(CWndDisplay& display) {
    if (display.GetResetState() == 0) {
        return false;
    }
    display.SetResetState(1);
    if (display.ResetDisplay() == 0) {
        return false;
    }
    display.SetResetState(0);
    return true;
}

} // namespace viewer
