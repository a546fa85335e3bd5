#include "skinctl/CCtrlSlider.h"

#include "skinctl/SkinPaint.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

using namespace tachy::skinctl;

CCtrlSlider::CCtrlSlider(int id, QWidget* parent) : QWidget(parent), m_id(id) {
    setFocusPolicy(Qt::StrongFocus);
}

void CCtrlSlider::SetImages(const Images& images) {
    m_images = images;
    update();
}

void CCtrlSlider::SetRange(int minimum, int maximum) {
    m_minimum = std::min(minimum, maximum);
    m_maximum = std::max(minimum, maximum);
    m_position = std::clamp(m_position, m_minimum, m_maximum);
    update();
}

void CCtrlSlider::SetPos(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
    update();
}

QSize CCtrlSlider::sizeHint() const {
    return {200, std::max(24, thumbSize().height())};
}

QSize CCtrlSlider::thumbSize() const {
    return m_images.thumb.isNull() ? QSize(16, 16) : logicalSize(m_images.thumb);
}

// The thumb's centre runs from half a thumb in from the left to half a thumb from the right.
int CCtrlSlider::thumbCentre() const {
    const int half = thumbSize().width() / 2;
    const int span = std::max(width() - 2 * half, 0);
    const long long range = static_cast<long long>(m_maximum) - m_minimum;
    if (range <= 0) {
        return half;
    }
    return half + static_cast<int>(span * (static_cast<long long>(m_position) - m_minimum) / range);
}

int CCtrlSlider::positionAt(int x) const {
    const int half = thumbSize().width() / 2;
    const int span = std::max(width() - 2 * half, 1);
    const long long range = static_cast<long long>(m_maximum) - m_minimum;
    const long long offset = std::clamp(x - half, 0, span);
    return m_minimum + static_cast<int>((offset * range + span / 2) / span);
}

void CCtrlSlider::moveTo(int position) {
    position = std::clamp(position, m_minimum, m_maximum);
    if (position == m_position) {
        return;
    }
    m_position = position;
    update();
    emit notify(kNotifyMove, m_id, m_position);
}

void CCtrlSlider::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    const int centre = thumbCentre();
    drawStretched(painter, rect(), m_images.track);
    drawStretched(painter, QRect(0, 0, centre, height()), m_images.before);
    drawStretched(painter, QRect(centre, 0, width() - centre, height()), m_images.after);
    const QSize thumb = thumbSize();
    const QRect thumbRect(centre - thumb.width() / 2, (height() - thumb.height()) / 2,
                          thumb.width(), thumb.height());
    if (!m_images.thumb.isNull()) {
        painter.drawImage(thumbRect, m_images.thumb);
    }
    if (hasFocus()) {
        painter.setPen(QPen(kFocusColour, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(thumbRect).adjusted(-2, -2, 2, 2));
    }
}

void CCtrlSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_position = positionAt(static_cast<int>(event->position().x()));
    update();
    emit notify(kNotifyPress, m_id, m_position);
}

void CCtrlSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        moveTo(positionAt(static_cast<int>(event->position().x())));
    }
}

void CCtrlSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton) {
        return;
    }
    m_dragging = false;
    emit notify(kNotifyRelease, m_id, m_position);
}

// The keyboard moves by one step (arrows) or a tenth of the range (page keys), each move
// reported as a move followed by a release, as a short drag would be.
void CCtrlSlider::keyPressEvent(QKeyEvent* event) {
    const int page = std::max((m_maximum - m_minimum) / 10, 1);
    int target = m_position;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        target -= 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        target += 1;
        break;
    case Qt::Key_PageDown:
        target -= page;
        break;
    case Qt::Key_PageUp:
        target += page;
        break;
    case Qt::Key_Home:
        target = m_minimum;
        break;
    case Qt::Key_End:
        target = m_maximum;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const int before = m_position;
    moveTo(target);
    if (m_position != before) {
        emit notify(kNotifyRelease, m_id, m_position);
    }
}

void CCtrlSlider::wheelEvent(QWheelEvent* event) {
    const int steps = m_wheel.Take(*event);
    const int before = m_position;
    moveTo(m_position + steps);
    if (m_position != before) {
        emit notify(kNotifyRelease, m_id, m_position);
    }
    event->accept();
}
