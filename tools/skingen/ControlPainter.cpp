#include "tools/skingen/ControlPainter.h"

#include "tools/skingen/SkinPalette.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace tachy::skingen {

namespace {

constexpr double kRadius = 8.0;

int currentScale = 1; // drawing happens on the generator's one thread

struct Surface {
    QColor fill;
    QColor border;
};

Surface surfaceFor(ButtonState state, ButtonStyle style) {
    switch (state) {
    case ButtonState::Normal:
        return style == ButtonStyle::Raised
                   ? Surface{palette::kRaised, palette::kRaisedBorder}
                   : Surface{Qt::transparent, Qt::transparent};
    case ButtonState::Over:
        return style == ButtonStyle::FlatDanger ? Surface{palette::kDanger, palette::kDanger}
                                                : Surface{palette::kOver, palette::kOverBorder};
    case ButtonState::Pressed:
        return Surface{palette::kPressed, palette::kAccent};
    }
    return {};
}

void paintSurface(QPainter& painter, QSize size, const Surface& surface, double radius) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(surface.border.alpha() == 0 ? QPen(Qt::NoPen) : QPen(surface.border, 1.0));
    painter.setBrush(surface.fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0), radius,
                            radius);
}

QFont labelFont(int pixelSize, bool bold) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

PictureScale::PictureScale(int scale) : m_previous(currentScale) {
    currentScale = std::max(scale, 1);
}

PictureScale::~PictureScale() {
    currentScale = m_previous;
}

int PictureScale::current() {
    return currentScale;
}

QImage transparentImage(int width, int height) {
    const int scale = PictureScale::current();
    QImage image(std::max(width, 1) * scale, std::max(height, 1) * scale,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

QImage cropImage(const QImage& image, const QRect& designRect) {
    const qreal ratio = image.devicePixelRatio();
    const QRect pixels(qRound(designRect.x() * ratio), qRound(designRect.y() * ratio),
                       qRound(designRect.width() * ratio), qRound(designRect.height() * ratio));
    QImage part = image.copy(pixels);
    part.setDevicePixelRatio(ratio);
    return part;
}

QImage buttonImage(QSize size, ButtonState state, ButtonStyle style, Glyph glyph,
                   double glyphSide) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    paintSurface(painter, size, surfaceFor(state, style), kRadius);
    const QColor colour = state == ButtonState::Pressed && style == ButtonStyle::Raised
                              ? palette::kAccent
                              : palette::kText;
    const QRectF box((size.width() - glyphSide) / 2, (size.height() - glyphSide) / 2, glyphSide,
                     glyphSide);
    paintGlyph(painter, glyph, box, colour);
    return image;
}

QImage labelButtonImage(QSize size, ButtonState state, const QString& label) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    paintSurface(painter, size, surfaceFor(state, ButtonStyle::Raised), kRadius);
    painter.setPen(state == ButtonState::Pressed ? palette::kAccent : palette::kText);
    painter.setFont(labelFont(std::max(10, size.height() * 3 / 10), true));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, label);
    return image;
}

QImage captionButtonImage(QSize size, ButtonState state) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    paintSurface(painter, size, surfaceFor(state, ButtonStyle::Raised), kRadius);
    return image;
}

QImage panelImage(QSize size, const QColor& fill, const QColor& border, double radius) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    paintSurface(painter, size, Surface{fill, border}, radius);
    return image;
}

QImage glyphImage(QSize size, Glyph glyph, const QColor& colour) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    paintGlyph(painter, glyph, QRectF(0, 0, size.width(), size.height()), colour);
    return image;
}

QImage letterImage(QSize size, const QString& letter, const QColor& colour) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2.0));
    const double side = std::min(size.width(), size.height()) - 4.0;
    const QRectF ring((size.width() - side) / 2, (size.height() - side) / 2, side, side);
    painter.drawEllipse(ring);
    painter.setFont(labelFont(static_cast<int>(side * 0.55), true));
    painter.drawText(ring, Qt::AlignCenter, letter);
    return image;
}

QImage bandImage(QSize size, int bandHeight, const QColor& left, const QColor& right) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), 0);
    gradient.setColorAt(0, left);
    gradient.setColorAt(1, right);
    painter.fillRect(QRect(0, (size.height() - bandHeight) / 2, size.width(), bandHeight),
                     gradient);
    return image;
}

QImage thumbImage(int side) {
    QImage image = transparentImage(side, side);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette::kAccent, 2.0));
    painter.setBrush(palette::kText);
    painter.drawEllipse(QRectF(1.5, 1.5, side - 3.0, side - 3.0));
    return image;
}

QImage checkBoxImage(int side, bool checked) {
    QImage image = transparentImage(side, side);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(1.5, 1.5, side - 3.0, side - 3.0);
    painter.setPen(QPen(checked ? palette::kAccent : palette::kSecondaryText, 1.5));
    painter.setBrush(checked ? palette::kAccent : palette::kPanel);
    painter.drawRoundedRect(box, 4, 4);
    if (checked) {
        painter.setPen(QPen(palette::kText, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double s = side / 18.0;
        painter.drawPolyline(QPolygonF({{4.5 * s, 9.5 * s}, {7.5 * s, 12.5 * s},
                                        {13.5 * s, 5.5 * s}}));
    }
    return image;
}

QImage logoImage(QSize size, bool withPanel) {
    QImage image = transparentImage(size.width(), size.height());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (withPanel) {
        image.fill(palette::kPanel);
    }
    const int height = size.height();
    const double mark = withPanel ? height * 0.28 : height * 0.8;
    const QString title = QStringLiteral("Tachy");
    QFont font = labelFont(static_cast<int>(mark * 0.62), true);
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    const QFontMetricsF metrics(font);
    const double textWidth = metrics.horizontalAdvance(title);
    const double total = mark + mark * 0.25 + textWidth;
    const double left = withPanel ? (size.width() - total) / 2 : height * 0.1;
    const double top = (height - mark) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kAccent);
    painter.drawRoundedRect(QRectF(left, top, mark, mark), mark * 0.22, mark * 0.22);
    const double inset = mark * 0.14;
    paintGlyph(painter, Glyph::Camera,
               QRectF(left, top, mark, mark).adjusted(inset, inset, -inset, -inset),
               palette::kText, std::max(2.0, mark / 24.0));
    painter.setFont(font);
    painter.setPen(palette::kText);
    painter.drawText(QRectF(left + mark * 1.25, top, textWidth + 4, mark),
                     Qt::AlignVCenter | Qt::AlignLeft, title);
    return image;
}

} // namespace tachy::skingen
