#pragma once
// Drawing helpers shared by the skinned controls.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

namespace tachy::skinctl {

// The focus mark: the accent colour the default skin uses for focus and selection.
inline const QColor kFocusColour{0x3D, 0x8B, 0xFD};
// Controls that are disabled are drawn at this opacity.
inline constexpr double kDisabledOpacity = 0.4;

// Prepares a painter for a control: smooth scaling, and the disabled opacity when it is off.
void beginControlPaint(QPainter& painter, const QWidget& widget);
// The image's size in the widget's pixels: a double-size skin picture (device-pixel ratio 2)
// takes the place of its design-size picture. Layout uses this, never the image's pixel size.
QSize logicalSize(const QImage& image);
// Draws the image stretched over the rectangle; nothing for a null image.
void drawStretched(QPainter& painter, const QRect& target, const QImage& image);
// The rounded focus frame inside the rectangle.
void drawFocusFrame(QPainter& painter, const QRect& rect);

} // namespace tachy::skinctl
