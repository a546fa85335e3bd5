#include "viewer/exports/PrintPage.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include <utility>

namespace viewer::exports {

namespace {

const QColor kTitleColour(0, 0, 128); // dark blue
const QColor kLineColour(0, 0, 0);

QSizeF PaperShape(const QPageSize& paper) {
    return paper.size(QPageSize::Point);
}

} // namespace

PrintPage::PrintPage(PrintPageContent content, const QPageSize& paper)
    : m_content(std::move(content)), m_paper(paper.isValid() ? paper : QPageSize(QPageSize::A4)),
      m_layout(
          PrintPageLayout::Compute(m_content, PrintPageLayout::PageSize(PaperShape(m_paper)))) {}

void PrintPage::SetMemo(const QString& memo) {
    m_content.memo = memo;
    m_layout = PrintPageLayout::Compute(m_content, m_layout.page);
}

void PrintPage::Draw(QPainter& painter, const QRectF& target) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(target.topLeft());
    const double scale = target.width() / m_layout.page.width();
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), m_layout.page), Qt::white);
    DrawTitle(painter);
    DrawPictures(painter);
    DrawSections(painter);
    painter.restore();
}

void PrintPage::DrawTitle(QPainter& painter) const {
    painter.setFont(PrintPageLayout::TitleFont(m_content));
    painter.setPen(kTitleColour);
    painter.drawText(m_layout.title, Qt::AlignCenter | Qt::TextSingleLine, m_content.title.text);
    painter.setPen(QPen(kLineColour, 1));
    painter.drawLine(m_layout.titleLine);
}

void PrintPage::DrawPictures(QPainter& painter) const {
    for (const PrintPageLayout::Picture& picture : m_layout.pictures) {
        painter.drawImage(picture.rect, m_content.pictures.Picture(picture.channel));
    }
}

void PrintPage::DrawSections(QPainter& painter) const {
    const std::array<QString, PrintPageContent::kSections> values = m_content.SectionValues();
    painter.setPen(kLineColour);
    for (int section = 0; section < PrintPageContent::kSections; ++section) {
        const auto index = static_cast<std::size_t>(section);
        const PrintPageLayout::Section& place = m_layout.sections[index];
        painter.setFont(PrintPageLayout::SectionFont(m_content, section));
        painter.drawText(place.heading, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         m_content.headings[index].text);
        painter.drawText(place.value, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         values[index]);
    }
    painter.setPen(QPen(kLineColour, 1));
    painter.drawLine(m_layout.closingLine);
}

QImage PrintPage::Preview(int width) const {
    if (width <= 0) {
        return {};
    }
    const int height = qRound(width * m_layout.page.height() / m_layout.page.width());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Draw(painter, QRectF(0, 0, width, height));
    return image;
}

bool PrintPage::Print(QPrinter& printer) const {
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(m_paper, QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRectF paper = printer.pageLayout().fullRectPixels(printer.resolution());
    Draw(painter, QRectF(QPointF(0, 0), paper.size()));
    return painter.end();
}

} // namespace viewer::exports
