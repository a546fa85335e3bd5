#include "skinctl/CCtrlButtonEx.h"

#include "skinctl/SkinPaint.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QPainter>

using namespace tachy::skinctl;

CCtrlButtonEx::CCtrlButtonEx(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void CCtrlButtonEx::SetImages(const SkinStateImages& images) {
    m_images = images;
    updateGeometry();
    update();
}

void CCtrlButtonEx::SetButtonDiv(int picture, int caption) {
    m_pictureShare = std::max(picture, 0);
    m_captionShare = std::max(caption, 0);
    update();
}

int CCtrlButtonEx::GetDrawState() const {
    if (isDown() || isChecked()) {
        return 3;
    }
    return m_hovered && isEnabled() ? 1 : 0;
}

QSize CCtrlButtonEx::sizeHint() const {
    return m_images.normal.isNull() ? QSize(40, 40) : logicalSize(m_images.normal);
}

const QImage& CCtrlButtonEx::currentImage() const {
    switch (GetDrawState()) {
    case 3:
        return m_images.pressed.isNull() ? m_images.normal : m_images.pressed;
    case 1:
        return m_images.over.isNull() ? m_images.normal : m_images.over;
    default:
        return m_images.normal;
    }
}

QRect CCtrlButtonEx::captionRect() const {
    QRect caption = rect();
    const int shares = m_pictureShare + m_captionShare;
    if (shares > 0 && m_captionShare > 0) {
        const int pictureHeight = height() * m_pictureShare / shares;
        caption = QRect(0, pictureHeight, width(), height() - pictureHeight);
    }
    return caption.adjusted(4, 0, -4, 0);
}

QFont CCtrlButtonEx::CaptionFont() const {
    constexpr double kLeastPoints = 7.0;
    constexpr int kLeastPixels = 9;
    QFont fitted = font();
    const int room = captionRect().width();
    while (QFontMetrics(fitted, this).horizontalAdvance(text()) > room) {
        if (fitted.pixelSize() > kLeastPixels) {
            fitted.setPixelSize(fitted.pixelSize() - 1);
        } else if (fitted.pixelSize() <= 0 && fitted.pointSizeF() - 0.5 >= kLeastPoints) {
            fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
        } else {
            break;
        }
    }
    return fitted;
}

bool CCtrlButtonEx::CaptionFits() const {
    return text().isEmpty() || QFontMetrics(CaptionFont(), this).horizontalAdvance(text()) <= captionRect().width();
}

void CCtrlButtonEx::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    QRect pictureRect = rect();
    QRect captionArea;
    const int shares = m_pictureShare + m_captionShare;
    if (shares > 0 && m_captionShare > 0) {
        const int pictureHeight = height() * m_pictureShare / shares;
        pictureRect.setHeight(pictureHeight);
        captionArea = QRect(0, pictureHeight, width(), height() - pictureHeight);
    }
    const QImage& image = currentImage();
    if (!image.isNull() && captionArea.isValid()) {
        // Keep the picture's proportions inside its share.
        QSize size = logicalSize(image).scaled(pictureRect.size(), Qt::KeepAspectRatio);
        pictureRect = QRect(QPoint((width() - size.width()) / 2, 0), size);
    }
    drawStretched(painter, pictureRect, image);
    if (!text().isEmpty()) {
        painter.setPen(GetDrawState() == 3 ? kFocusColour : m_textColour);
        const QFont fitted = CaptionFont();
        painter.setFont(fitted);
        const QRect textRect = captionRect();
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
                         QFontMetrics(fitted, this).elidedText(text(), Qt::ElideRight, textRect.width()));
    }
    if (hasFocus()) {
        drawFocusFrame(painter, rect());
    }
}

void CCtrlButtonEx::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CCtrlButtonEx::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
