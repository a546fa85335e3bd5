#include "viewer/app/WindowLayout.h"

#include "skinres/CExWndPos.h"

#include <QWidget>
#include <algorithm>

namespace viewer {
namespace {

struct Span {
    int start;
    int end;
};

// One axis: position p, size s, anchors before/after, parent extent, centred flag.
Span place(int position, int size, int before, int after, int extent, bool centred) {
    if (before >= 0 && after >= 0) {
        return {position + before, extent - after};
    }
    if (centred) {
        const int middle = (extent - size) / 2;
        const int start = before >= 0 ? middle - before : after >= 0 ? middle + after : middle;
        return {start, start + size};
    }
    if (before >= 0) {
        return {position + before, position + before + size};
    }
    if (after >= 0) {
        return {extent - after - size, extent - after};
    }
    return {position, position + size};
}

QRect fromSpans(const Span& horizontal, const Span& vertical) {
    return {QPoint(horizontal.start, vertical.start), QPoint(horizontal.end - 1, vertical.end - 1)};
}

} // namespace

QRect LayoutRect(const _WIN_POS& position, int width, int height) {
    const Span horizontal = place(position.x, position.width, position.stickToLeft, position.stickToRight, width,
                                  position.HCenter != 0);
    // The centred flag only places elements across; vertically an element follows its anchors.
    const Span vertical = place(position.y, position.height, position.stickToTop, position.stickToBottom, height, false);
    return fromSpans(horizontal, vertical);
}

QRect ScaledLayoutRect(const _WIN_POS& position, int width, int height, double scale) {
    _WIN_POS scaled = position;
    const auto by = [scale](int value) { return static_cast<int>(value * scale); };
    const auto anchor = [&](int value) { return value > 0 ? by(value) : value; };
    scaled.x = by(position.x);
    scaled.y = by(position.y);
    scaled.width = by(position.width);
    scaled.height = by(position.height);
    scaled.stickToLeft = anchor(position.stickToLeft);
    scaled.stickToTop = anchor(position.stickToTop);
    scaled.stickToRight = anchor(position.stickToRight);
    scaled.stickToBottom = anchor(position.stickToBottom);
    return LayoutRect(scaled, width, height);
}

double LayoutScale(int clientWidth, int clientHeight, int designWidth, int designHeight) {
    if (designWidth <= 0 || designHeight <= 0) {
        return 1.0;
    }
    return std::min(static_cast<double>(clientWidth) / designWidth, static_cast<double>(clientHeight) / designHeight);
}

double PanelScale(const _WIN_POS* panel, QSize fallback, QSize actual) {
    const QSize design = panel != nullptr && panel->width > 0 && panel->height > 0
                             ? QSize(panel->width, panel->height)
                             : fallback;
    return LayoutScale(actual.width(), actual.height(), design.width(), design.height());
}

void PlaceControl(QWidget& control, const _WIN_POS* position, QSize parent, double scale) {
    control.setGeometry(position != nullptr
                            ? ScaledLayoutRect(*position, parent.width(), parent.height(), scale)
                            : QRect());
}

} // namespace viewer
