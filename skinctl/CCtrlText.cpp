#include "skinctl/CCtrlText.h"

#include "skinctl/SkinPaint.h"

#include <QFontMetrics>
#include <QPainter>

using namespace tachy::skinctl;

CCtrlText::CCtrlText(QWidget* parent) : QWidget(parent) {
    m_drawer.SetFont(QString(), 0, CCtrlGDIpString::Regular);
}

void CCtrlText::SetText(const QString& text) {
    m_text = text;
    setAccessibleName(text);
    update();
}

void CCtrlText::SetTextFont(const QString& family, int pointSize, int style) {
    m_drawer.SetFont(family, pointSize, style);
    updateGeometry();
    update();
}

void CCtrlText::SetTextColour(const QColor& colour) {
    m_drawer.SetColour(colour);
    update();
}

void CCtrlText::SetAlignment(int alignment) {
    m_alignment = alignment;
    update();
}

void CCtrlText::SetBackground(const QImage& image) {
    m_background = image;
    update();
}

QSize CCtrlText::sizeHint() const {
    const QFontMetrics metrics(m_drawer.GetFont());
    return {metrics.horizontalAdvance(m_text) + 12, metrics.height() + 8};
}

void CCtrlText::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    drawStretched(painter, rect(), m_background);
    // Text keeps a small margin from a background's rounded edge.
    const int margin = m_background.isNull() ? 0 : 8;
    m_drawer.Draw(painter, rect().adjusted(margin, 0, -margin, 0), m_text, m_alignment);
}
