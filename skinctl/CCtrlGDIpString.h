#pragma once
// Draws one line of text into a rectangle of a canvas, in a font and colour, with the
// alignment values 0 (left), 1 (centre) and 2 (right), always centred vertically, and the style
// values 0 (regular) and 1 (bold). Used for labels drawn into graphs and for text controls.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

class CCtrlGDIpString {
public:
    enum Alignment { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };
    enum Style { Regular = 0, Bold = 1 };

    // An empty family takes the default font (fontconfig falls back to DejaVu Sans).
    void SetFont(const QString& family, int pointSize, int style);
    void SetColour(const QColor& colour) { m_colour = colour; }
    const QFont& GetFont() const { return m_font; }

    // Unknown alignment values draw left-aligned. Text wider than the rectangle is elided.
    void Draw(QPainter& painter, const QRect& rect, const QString& text, int alignment) const;

    static Qt::Alignment toQtAlignment(int alignment);

private:
    QFont m_font;
    QColor m_colour{0xE6, 0xE8, 0xEB};
};
