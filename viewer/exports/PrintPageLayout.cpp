#include "viewer/exports/PrintPageLayout.h"

#include "viewer/exports/PrintPageContent.h"

#include <QFontMetricsF>

#include <algorithm>

namespace viewer::exports {

namespace {

constexpr double kTitleMargin = 20; // left and right of the title and the lines
constexpr double kTitleTop = 30;
constexpr double kTitleBottom = 50;
constexpr double kLineGap = 10; // from a text to the line under it
constexpr double kPicturesTop = 70;
constexpr double kPictureMargin = 60; // left and right of the pictures and sections
constexpr double kPictureGap = 10;
constexpr double kSectionGap = 12;
constexpr double kValueIndent = 20; // a section's value under its heading

QFont PageFont(const QString& family, int pixelSize, int weight) {
    QFont font(family);
    font.setPixelSize(std::max(pixelSize, 1));
    font.setWeight(static_cast<QFont::Weight>(weight));
    // Unhinted glyphs scale linearly, so the layout measured once holds on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double TextHeight(const QFont& font, double width, const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    const QFontMetricsF metrics(font);
    return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text).height();
}

} // namespace

QSizeF PrintPageLayout::PageSize(const QSizeF& paper) {
    if (paper.width() <= 0 || paper.height() <= 0) {
        return {kPageWidth, kPageWidth * 297 / 210};
    }
    return {kPageWidth, kPageWidth * paper.height() / paper.width()};
}

std::array<QSizeF, 3> PrintPageLayout::PictureSizes(const SnapshotPictureSet& pictures,
                                                    double width) {
    std::array<QSizeF, 3> sizes{};
    const int count = pictures.ChannelCount();
    double heights = 0;
    double widest = 0;
    for (int channel = 0; channel < count; ++channel) {
        heights += pictures.Picture(channel).height();
        widest = std::max<double>(widest, pictures.Picture(channel).width());
    }
    if (count == 0 || heights <= 0 || widest <= 0) {
        return sizes;
    }
    const double scale = std::min((kPictureHeight - kPictureGap * count) / heights, width / widest);
    for (int channel = 0; channel < count; ++channel) {
        if (pictures.HasPicture(channel)) {
            sizes[static_cast<std::size_t>(channel)] =
                QSizeF(pictures.Picture(channel).size()) * scale;
        }
    }
    if (count == 3) {
        // The two smaller cameras share one 16:9 shape, as tall as the two are on average.
        const int shared = (pictures.Picture(1).height() + pictures.Picture(2).height()) / 2;
        const QSizeF size(scale * (shared * 16 / 9), scale * shared);
        for (int channel = 1; channel < 3; ++channel) {
            if (pictures.HasPicture(channel)) {
                sizes[static_cast<std::size_t>(channel)] = size;
            }
        }
    }
    return sizes;
}

QFont PrintPageLayout::TitleFont(const PrintPageContent& content) {
    return PageFont(content.fontName, content.title.size, 700);
}

QFont PrintPageLayout::SectionFont(const PrintPageContent& content, int section) {
    return PageFont(content.fontName, content.headings[static_cast<std::size_t>(section)].size,
                    400);
}

PrintPageLayout PrintPageLayout::Compute(const PrintPageContent& content, const QSizeF& pageSize) {
    PrintPageLayout layout;
    layout.page = pageSize;
    const double left = 0;
    const double right = pageSize.width();
    layout.title = QRectF(QPointF(left + kTitleMargin, kTitleTop),
                          QPointF(right - kTitleMargin, kTitleBottom));
    const double titleLineY = kTitleBottom + kLineGap;
    layout.titleLine = QLineF(left + kTitleMargin, titleLineY, right - kTitleMargin, titleLineY);

    const double pictureLeft = left + kPictureMargin;
    const double contentWidth = right - left - 2 * kPictureMargin;
    const std::array<QSizeF, 3> sizes = PictureSizes(content.pictures, contentWidth);
    double y = kPicturesTop;
    for (int channel = 0; channel < 3; ++channel) {
        const QSizeF& size = sizes[static_cast<std::size_t>(channel)];
        if (size.isEmpty()) {
            continue;
        }
        layout.pictures.push_back({channel, QRectF(QPointF(pictureLeft, y), size)});
        y += size.height() + kPictureGap;
    }

    const std::array<QString, PrintPageContent::kSections> values = content.SectionValues();
    double bottom = y;
    for (int section = 0; section < PrintPageContent::kSections; ++section) {
        const auto index = static_cast<std::size_t>(section);
        const QFont font = SectionFont(content, section);
        const double headingHeight = TextHeight(font, contentWidth, content.headings[index].text);
        const double valueWidth = contentWidth - kValueIndent;
        const double valueHeight = TextHeight(font, valueWidth, values[index]);
        layout.sections[index].heading = QRectF(pictureLeft, y, contentWidth, headingHeight);
        layout.sections[index].value =
            QRectF(pictureLeft + kValueIndent, y + headingHeight, valueWidth, valueHeight);
        bottom = y + headingHeight + valueHeight;
        y = bottom + kSectionGap;
    }
    const double closingY = bottom + kLineGap;
    layout.closingLine = QLineF(left + kTitleMargin, closingY, right - kTitleMargin, closingY);
    return layout;
}

} // namespace viewer::exports
