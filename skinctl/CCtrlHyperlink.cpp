#include "skinctl/CCtrlHyperlink.h"

#include "skinctl/SkinPaint.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

using namespace tachy::skinctl;

CCtrlHyperlink::CCtrlHyperlink(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void CCtrlHyperlink::SetLink(const QString& text, const QUrl& url) {
    m_text = text;
    m_url = url;
    setToolTip(url.toString());
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize CCtrlHyperlink::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text) + 8, metrics.height() + 6};
}

void CCtrlHyperlink::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    QFont underlined = font();
    underlined.setUnderline(true);
    painter.setFont(underlined);
    painter.setPen(m_hovered ? QColor(0x6E, 0xA8, 0xFE) : kFocusColour);
    painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    if (hasFocus()) {
        painter.setPen(QPen(kFocusColour, 1.0, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CCtrlHyperlink::activate() {
    if (!m_url.isValid()) {
        return;
    }
    emit activated(m_url);
    if (m_opensBrowser) {
        QDesktopServices::openUrl(m_url);
    }
}

void CCtrlHyperlink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        activate();
    }
}

void CCtrlHyperlink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        activate();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CCtrlHyperlink::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void CCtrlHyperlink::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QWidget::leaveEvent(event);
}
