#pragma once
// The surfaces of the default skin's controls: flat rounded buttons in their three states,
// panels, frames, slider and list parts, check boxes and logos.

#include "tools/skingen/GlyphPainter.h"

#include <QImage>
#include <QString>

namespace tachy::skingen {

enum class ButtonState { Normal, Over, Pressed };

enum class ButtonStyle {
    Raised,    // a control on a panel
    Flat,      // a title-bar or toolbar button: only "over" and "pressed" show a surface
    FlatDanger // the close button: "over" turns the danger colour
};

// The scale every picture is drawn at while an object of this kind lives: 1 draws the skin at
// its design size, 2 draws the same design with twice as many pixels each way for HiDPI screens
// and enlarged windows. Images from transparentImage() then carry that device-pixel ratio, so
// painters on them keep working in design pixels and lines, curves and text are drawn at the
// finer resolution rather than enlarged afterwards.
class PictureScale {
public:
    explicit PictureScale(int scale);
    ~PictureScale();
    PictureScale(const PictureScale&) = delete;
    PictureScale& operator=(const PictureScale&) = delete;

    static int current();

private:
    int m_previous;
};

// A clear image of width x height design pixels at the current picture scale.
QImage transparentImage(int width, int height);
// The part of an image given in design pixels, whatever its scale.
QImage cropImage(const QImage& image, const QRect& designRect);

// A button surface with its glyph; glyphSide is the glyph's size in pixels.
QImage buttonImage(QSize size, ButtonState state, ButtonStyle style, Glyph glyph,
                   double glyphSide);
// A button surface with a short label (speed factors, gear letters): not language text.
QImage labelButtonImage(QSize size, ButtonState state, const QString& label);
// A plain button surface for buttons whose caption the program draws.
QImage captionButtonImage(QSize size, ButtonState state);

// A rounded panel with a one-step-lighter border.
QImage panelImage(QSize size, const QColor& fill, const QColor& border, double radius);
// A glyph alone on a transparent ground.
QImage glyphImage(QSize size, Glyph glyph, const QColor& colour);
// A letter in a ring (gear positions).
QImage letterImage(QSize size, const QString& letter, const QColor& colour);

// A horizontal band centred in a transparent strip, to be stretched sideways.
QImage bandImage(QSize size, int bandHeight, const QColor& left, const QColor& right);
QImage thumbImage(int side);
QImage checkBoxImage(int side, bool checked);

// The product logo: camera glyph and title on the panel colour.
QImage logoImage(QSize size, bool withPanel);

} // namespace tachy::skingen
