#pragma once
// Where a skin element goes in its parent: its rectangle from the position file, anchored to
// the parent's sides (a negative anchor is no anchor) or centred, and the main window's scaling
// from the skin's design size to the window's client size.

#include <QRect>
#include <QSize>

class QWidget;
struct _WIN_POS;

namespace viewer {

// The element's rectangle in a parent of width x height.
QRect LayoutRect(const _WIN_POS& position, int width, int height);

// The same after scaling the element's own figures (position, size and positive anchors) by
// `scale`; coordinates are truncated.
QRect ScaledLayoutRect(const _WIN_POS& position, int width, int height, double scale);

// The scale of the main window's children: the smaller of the two client/design ratios.
double LayoutScale(int clientWidth, int clientHeight, int designWidth, int designHeight);

// The scale of a skinned panel of size `actual`: its own element's size is the design size, or
// `fallback` when the skin has none.
double PanelScale(const _WIN_POS* panel, QSize fallback, QSize actual);

// Puts `control` at the scaled rectangle of `position` in its parent of `parent` size; nowhere
// (an empty rectangle) when the skin has no such element.
void PlaceControl(QWidget& control, const _WIN_POS* position, QSize parent, double scale);

} // namespace viewer
