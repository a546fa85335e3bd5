#include "viewer/dialogs/PrintPreview.h"

#include "viewer/exports/PrintPage.h"

#include <QPainter>

namespace viewer::dialogs {
namespace {

constexpr int kMargin = 5;
constexpr int kShadow = 2;

} // namespace

PrintPreview::PrintPreview(const viewer::exports::PrintPage& page, QWidget* parent)
    : QWidget(parent), m_page(page) {
    setObjectName(QStringLiteral("PrintPreview"));
    setMinimumSize(200, 260);
}

QRectF PrintPreview::PageRect() const {
    const QRectF area =
        QRectF(rect()).adjusted(kMargin, kMargin, -kMargin - kShadow, -kMargin - kShadow);
    const QSizeF page = m_page.Layout().page;
    if (area.isEmpty() || page.isEmpty()) {
        return {};
    }
    const QSizeF fitted = page.scaled(area.size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(0, 0), fitted);
    target.moveCenter(area.center());
    return target;
}

QImage PrintPreview::PageImage() const {
    return m_page.Preview(qRound(PageRect().width()));
}

void PrintPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRectF page = PageRect();
    if (page.isEmpty()) {
        return;
    }
    painter.fillRect(page.translated(kShadow, kShadow), Qt::darkGray);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_page.Draw(painter, page);
}

} // namespace viewer::dialogs
