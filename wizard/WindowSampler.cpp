#include "wizard/WindowSampler.h"

#include <QOpenGLWidget>
#include <QPainter>
#include <QWidget>

QImage WindowSampler::Render(QWidget& window) {
    QImage image = window.grab(window.rect()).toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    QPainter painter(&image);
    for (QOpenGLWidget* view : window.findChildren<QOpenGLWidget*>()) {
        if (!view->isVisibleTo(&window) || view->size().isEmpty()) {
            continue;
        }
        const QImage drawn = view->grabFramebuffer();
        if (!drawn.isNull()) {
            painter.drawImage(QRect(view->mapTo(&window, QPoint(0, 0)), view->size()), drawn);
        }
    }
    return image;
}

QRgb WindowSampler::CentrePixel(const QImage& image) {
    if (image.isNull()) {
        return 0;
    }
    return image.pixel(image.width() / 2, image.height() / 2);
}
