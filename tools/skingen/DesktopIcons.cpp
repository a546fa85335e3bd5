#include "tools/skingen/DesktopIcons.h"

#include "tools/skingen/ControlPainter.h"
#include "tools/skingen/GlyphPainter.h"
#include "tools/skingen/SkinCatalogue.h"
#include "tools/skingen/SkinPalette.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

namespace tachy::skingen {

namespace {

using namespace palette;

// The skin's application icon is drawn at 52 design pixels; drawn large and scaled down, it
// stays sharp at every theme size.
constexpr int kDrawScale = 5;

QImage largeAppIcon() {
    const PictureScale scale(kDrawScale);
    for (const SkinPicture& picture : skinPictures()) {
        if (picture.name == QLatin1String("app_icon")) {
            QImage image = picture.draw();
            image.setDevicePixelRatio(1.0); // painted on in pixels below
            return image;
        }
    }
    return {};
}

QImage scaledTo(const QImage& image, int side) {
    return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

bool writeIcon(const QString& path, const QImage& image) {
    QImageWriter writer(path, "png");
    writer.setQuality(0);
    if (image.isNull() || !writer.write(image)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

QImage viewerIcon(int side) {
    return scaledTo(largeAppIcon(), side);
}

// A gear on a round badge in the lower right quarter of the logo.
QImage setupIcon(int side) {
    QImage image = largeAppIcon();
    if (image.isNull()) {
        return image;
    }
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const double full = image.width();
        const QRectF badge(full * 0.46, full * 0.46, full * 0.54, full * 0.54);
        painter.setPen(QPen(kBackground, full * 0.03));
        painter.setBrush(kRaised);
        painter.drawEllipse(badge.adjusted(full * 0.015, full * 0.015, -full * 0.015, -full * 0.015));
        paintGlyph(painter, Glyph::Gear, badge.adjusted(full * 0.1, full * 0.1, -full * 0.1, -full * 0.1),
                   kText, full * 0.035);
    }
    return scaledTo(image, side);
}

bool writeDesktopIcons(const QString& folder) {
    bool ok = true;
    for (const int side : kDesktopIconSizes) {
        const QString apps = QStringLiteral("hicolor/%1x%1/apps").arg(side);
        if (!QDir(folder).mkpath(apps)) {
            std::fprintf(stderr, "skingen: cannot create %s/%s\n", qPrintable(folder), qPrintable(apps));
            return false;
        }
        const QDir dir(QDir(folder).filePath(apps));
        ok = writeIcon(dir.filePath(QStringLiteral("tachy-player.png")), viewerIcon(side)) && ok;
        ok = writeIcon(dir.filePath(QStringLiteral("tachy-setup.png")), setupIcon(side)) && ok;
    }
    return ok;
}

} // namespace tachy::skingen
