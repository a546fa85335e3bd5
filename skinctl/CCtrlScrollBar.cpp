#include "skinctl/CCtrlScrollBar.h"

#include "skinctl/SkinPaint.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

using namespace tachy::skinctl;

CCtrlScrollBar::CCtrlScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), m_orientation(orientation) {}

void CCtrlScrollBar::SetImages(const QImage& track, const QImage& thumb) {
    m_track = track;
    m_thumb = thumb;
    update();
}

void CCtrlScrollBar::SetRange(int maximum, int page) {
    m_maximum = std::max(maximum, 0);
    m_page = std::max(page, 1);
    SetValue(m_value);
    update();
}

void CCtrlScrollBar::SetValue(int value) {
    value = std::clamp(value, 0, m_maximum);
    if (value == m_value) {
        return;
    }
    m_value = value;
    update();
    emit valueChanged(m_value);
}

QSize CCtrlScrollBar::sizeHint() const {
    return m_orientation == Qt::Vertical ? QSize(12, 100) : QSize(100, 12);
}

int CCtrlScrollBar::along(const QPoint& point) const {
    return m_orientation == Qt::Vertical ? point.y() : point.x();
}

int CCtrlScrollBar::length() const {
    return m_orientation == Qt::Vertical ? height() : width();
}

int CCtrlScrollBar::thumbLength() const {
    const long long whole = static_cast<long long>(m_maximum) + m_page;
    const int proportional = static_cast<int>(static_cast<long long>(length()) * m_page / whole);
    return std::clamp(proportional, std::min(24, length()), length());
}

QRect CCtrlScrollBar::ThumbRect() const {
    if (m_maximum <= 0) {
        return {};
    }
    const int thumb = thumbLength();
    const int start =
        static_cast<int>(static_cast<long long>(length() - thumb) * m_value / m_maximum);
    return m_orientation == Qt::Vertical ? QRect(0, start, width(), thumb)
                                         : QRect(start, 0, thumb, height());
}

void CCtrlScrollBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    drawStretched(painter, rect(), m_track);
    drawStretched(painter, ThumbRect(), m_thumb);
}

void CCtrlScrollBar::mousePressEvent(QMouseEvent* event) {
    const QRect thumb = ThumbRect();
    if (event->button() != Qt::LeftButton || thumb.isEmpty()) {
        return;
    }
    const QPoint point = event->position().toPoint();
    if (thumb.contains(point)) {
        m_dragOffset = along(point) - along(thumb.topLeft());
        return;
    }
    SetValue(m_value + (along(point) < along(thumb.topLeft()) ? -m_page : m_page));
}

void CCtrlScrollBar::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset < 0) {
        return;
    }
    const int free = length() - thumbLength();
    if (free <= 0) {
        return;
    }
    const int start = along(event->position().toPoint()) - m_dragOffset;
    SetValue(static_cast<int>((static_cast<long long>(start) * m_maximum + free / 2) / free));
}

void CCtrlScrollBar::mouseReleaseEvent(QMouseEvent* /*event*/) {
    m_dragOffset = -1;
}

void CCtrlScrollBar::wheelEvent(QWheelEvent* event) {
    SetValue(m_value - m_wheel.Take(*event) * std::max(m_page / 4, 1));
    event->accept();
}
