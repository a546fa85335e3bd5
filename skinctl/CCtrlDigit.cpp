#include "skinctl/CCtrlDigit.h"

#include "skinctl/SkinPaint.h"

#include <QPainter>

using namespace tachy::skinctl;

namespace {

const QString kCells = QStringLiteral("0123456789:.- ");

} // namespace

CCtrlDigit::CCtrlDigit(QWidget* parent) : QWidget(parent) {}

void CCtrlDigit::SetStrip(const QImage& strip) {
    m_strip = strip;
    updateGeometry();
    update();
}

void CCtrlDigit::SetText(const QString& text) {
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

int CCtrlDigit::CellOf(QChar character) {
    const int cell = kCells.indexOf(character);
    return cell < 0 ? kCells.size() - 1 : cell;
}

QSize CCtrlDigit::sizeHint() const {
    const int cellWidth = m_strip.isNull() ? 16 : m_strip.width() / kCellCount;
    return {cellWidth * static_cast<int>(m_text.size()), m_strip.isNull() ? 28 : m_strip.height()};
}

// Cells keep the strip's proportions at the control's height and are centred across it.
void CCtrlDigit::paintEvent(QPaintEvent* /*event*/) {
    if (m_strip.isNull() || m_text.isEmpty()) {
        return;
    }
    QPainter painter(this);
    beginControlPaint(painter, *this);
    const int sourceWidth = m_strip.width() / kCellCount;
    const double scale = static_cast<double>(height()) / m_strip.height();
    const int cellWidth = std::max(1, static_cast<int>(sourceWidth * scale));
    int x = (width() - cellWidth * static_cast<int>(m_text.size())) / 2;
    for (const QChar character : m_text) {
        const QRect source(CellOf(character) * sourceWidth, 0, sourceWidth, m_strip.height());
        painter.drawImage(QRect(x, 0, cellWidth, height()), m_strip, source);
        x += cellWidth;
    }
}
