#include "skinctl/SkinPaint.h"

#include <QPainter>
#include <QWidget>

namespace tachy::skinctl {

void beginControlPaint(QPainter& painter, const QWidget& widget) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!widget.isEnabled()) {
        painter.setOpacity(kDisabledOpacity);
    }
}

QSize logicalSize(const QImage& image) {
    return image.deviceIndependentSize().toSize();
}

void drawStretched(QPainter& painter, const QRect& target, const QImage& image) {
    if (!image.isNull() && target.isValid()) {
        painter.drawImage(target, image);
    }
}

void drawFocusFrame(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.setOpacity(1.0);
    painter.setPen(QPen(kFocusColour, 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), 7, 7);
    painter.restore();
}

} // namespace tachy::skinctl
