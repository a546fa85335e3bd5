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
    const QSize strip = m_strip.isNull() ? QSize(16 * kCellCount, 28) : logicalSize(m_strip);
    return {strip.width() / kCellCount * static_cast<int>(m_text.size()), strip.height()};
}

// Cells keep the strip's proportions at the control's height and are centred across it. The
// cell cut from the strip is in the strip's own pixels, which are twice as many each way in a
// double-size strip; the cell's place is in the widget's pixels.
void CCtrlDigit::paintEvent(QPaintEvent* /*event*/) {
    if (m_strip.isNull() || m_text.isEmpty()) {
        return;
    }
    QPainter painter(this);
    beginControlPaint(painter, *this);
    const int sourceWidth = m_strip.width() / kCellCount;
    const QSize strip = logicalSize(m_strip);
    const double scale = static_cast<double>(height()) / std::max(strip.height(), 1);
    const int cellWidth = std::max(1, static_cast<int>(strip.width() / kCellCount * scale));
    int x = (width() - cellWidth * static_cast<int>(m_text.size())) / 2;
    for (const QChar character : m_text) {
        const QRect source(CellOf(character) * sourceWidth, 0, sourceWidth, m_strip.height());
        painter.drawImage(QRect(x, 0, cellWidth, height()), m_strip, source);
        x += cellWidth;
    }
}
