#pragma once
// A button drawn from skin images in the states normal, over and pressed. Checkable, it is a
// push-like check button (checked shows the pressed picture); checkable and auto-exclusive, a
// radio-like button of its parent's group. The picture may share the button with a caption
// below it (SetButtonDiv).

#include "skinctl/SkinStateImages.h"

#include <QAbstractButton>

class CCtrlButtonEx : public QAbstractButton {
    Q_OBJECT

public:
    explicit CCtrlButtonEx(QWidget* parent = nullptr);

    void SetImages(const tachy::skinctl::SkinStateImages& images);
    // Splits the button's height picture : caption; the caption (the button's text) is drawn
    // in the lower part. Both 0 (the default) give the picture the whole button.
    void SetButtonDiv(int picture, int caption);
    void SetTextColour(const QColor& colour) { m_textColour = colour; }

    // The state whose picture is drawn: 0 normal, 1 over, 3 pressed.
    int GetDrawState() const;
    QSize sizeHint() const override;

    // The caption is drawn in the button's font made smaller, down to a legible least size,
    // until it fits its place; a caption that does not fit even then is elided.
    QFont CaptionFont() const;
    // Whether the whole caption fits its place in CaptionFont (an empty caption fits).
    bool CaptionFits() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    const QImage& currentImage() const;
    QRect captionRect() const;  // where the caption is drawn, margins taken off

    tachy::skinctl::SkinStateImages m_images;
    int m_pictureShare = 0;
    int m_captionShare = 0;
    bool m_hovered = false;
    QColor m_textColour{0xE6, 0xE8, 0xEB};
};
