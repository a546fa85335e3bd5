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

QImage transparentImage(int width, int height);

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
