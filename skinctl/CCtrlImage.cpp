#include "skinctl/CCtrlImage.h"

#include "skinctl/SkinPaint.h"

#include <QPainter>

using namespace tachy::skinctl;

CCtrlImage::CCtrlImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

void CCtrlImage::SetImage(const QImage& image) {
    m_image = image;
    update();
}

QSize CCtrlImage::sizeHint() const {
    return m_image.isNull() ? QSize(16, 16) : logicalSize(m_image);
}

void CCtrlImage::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    drawStretched(painter, rect(), m_image);
}
