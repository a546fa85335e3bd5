#include "skinctl/CCtrlGDIpString.h"

#include <QFontMetrics>
#include <QPainter>

void CCtrlGDIpString::SetFont(const QString& family, int pointSize, int style) {
    m_font = family.isEmpty() ? QFont() : QFont(family);
    if (pointSize > 0) {
        m_font.setPointSize(pointSize);
    }
    m_font.setBold(style == Bold);
}

Qt::Alignment CCtrlGDIpString::toQtAlignment(int alignment) {
    switch (alignment) {
    case AlignCentre:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case AlignRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

void CCtrlGDIpString::Draw(QPainter& painter, const QRect& rect, const QString& text,
                           int alignment) const {
    painter.save();
    painter.setFont(m_font);
    painter.setPen(m_colour);
    const QString shown = QFontMetrics(m_font).elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, toQtAlignment(alignment) | Qt::TextSingleLine, shown);
    painter.restore();
}
