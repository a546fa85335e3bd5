// The display's mouse rules: pan with the left button, zoom with the wheel or double-clicks,
// and the notifications to the owner.
#include "display/CWndScrD3D.h"

#include "display/DisplayMessages.h"
#include "platform/bus/CommandTarget.h"

#include <algorithm>
#include <QMouseEvent>
#include <QWheelEvent>

using namespace tachy::display;

namespace {

constexpr int kNormalZoom = 256;
constexpr int kZoomStep = 16;
constexpr int kLowestZoom = 64;
constexpr int kHighestZoom = 1024;

std::uintptr_t keyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    std::uintptr_t flags = 0;
    flags |= (buttons & Qt::LeftButton) != 0 ? kKeyLeftButton : 0;
    flags |= (buttons & Qt::RightButton) != 0 ? kKeyRightButton : 0;
    flags |= (buttons & Qt::MiddleButton) != 0 ? kKeyMiddleButton : 0;
    flags |= (modifiers & Qt::ShiftModifier) != 0 ? kKeyShift : 0;
    flags |= (modifiers & Qt::ControlModifier) != 0 ? kKeyControl : 0;
    return flags;
}

bool ctrl(const QInputEvent* event) {
    return (event->modifiers() & Qt::ControlModifier) != 0;
}

} // namespace

void CWndScrD3D::Notify(std::uintptr_t code, std::intptr_t argument, bool send) {
    auto* target = dynamic_cast<tachy::CommandTarget*>(m_owner.data());
    if (target == nullptr) {
        return;
    }
    if (send) {
        target->command(kDisplayNotify, code, argument);
        return;
    }
    QMetaObject::invokeMethod(
        m_owner.data(), [target, code, argument] { target->command(kDisplayNotify, code, argument); },
        Qt::QueuedConnection);
}

bool CWndScrD3D::HitScreen(const QPoint& point) const {
    const auto& screens = m_screens[static_cast<std::size_t>(std::clamp(m_layout, 0, 4))];
    for (std::size_t index = 0; index < screens.size() && index < 4; ++index) {
        if (screens[index].contains(point.x(), point.y())) {
            return true;
        }
    }
    return false;
}

// A zoom or pan shows at once, even while the picture stands still.
void CWndScrD3D::Redraw() {
    if (Device() != nullptr) {
        DrawAndReport(0);
    }
}

void CWndScrD3D::StartPan(const QPoint& point) {
    m_dragging = true;
    m_lastDrag = point;
}

void CWndScrD3D::ForwardMove(QMouseEvent* event) {
    auto* parent = dynamic_cast<tachy::CommandTarget*>(m_parent);
    if (parent != nullptr) {
        const QPoint point = event->position().toPoint();
        parent->command(kMouseMove, keyFlags(event->buttons(), event->modifiers()), packPoint(point.x(), point.y()));
    }
}

void CWndScrD3D::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        if (HitScreen(point)) {
            Notify(kRightButtonDown, m_displayIdValue, false);
        }
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (ctrl(event)) {
        StartPan(point);
        return;
    }
    if (m_zoomOption == 0) {
        StartPan(point);
        if (GetZoomInfo() > kNormalZoom) {
            return;
        }
    }
    Notify(kLeftButtonDown, m_displayIdValue, true);
}

void CWndScrD3D::mouseMoveEvent(QMouseEvent* event) {
    ForwardMove(event);
    const bool leftDown = (event->buttons() & Qt::LeftButton) != 0;
    if (!(leftDown && ctrl(event))) {
        if (m_zoomOption == 1) {
            m_dragging = false;
            return;
        }
        if (!leftDown) {
            return;
        }
    }
    const QPoint point = event->position().toPoint();
    if (!m_dragging) {
        StartPan(point);
        return;
    }
    Move(m_lastDrag.x(), m_lastDrag.y(), point.x(), point.y());
    m_lastDrag = point;
    Redraw();
}

void CWndScrD3D::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = event->position().toPoint();
    if (m_zoomOption == 1 || GetZoomInfo() <= kNormalZoom) {
        Notify(kLeftButtonUp, packPoint(point.x(), point.y()), true);
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = false;
}

void CWndScrD3D::wheelEvent(QWheelEvent* event) {
    if (m_zoomMode != 1 || !(ctrl(event) || m_zoomOption == 0)) {
        return;
    }
    // One zoom step per wheel notch: a touchpad's flick sends dozens of small deltas, which
    // add up instead of each taking a step to the limit.
    const int steps = m_wheel.Take(*event);
    if (steps == 0) {
        return;
    }
    const int level = std::clamp(GetZoomInfo() + steps * kZoomStep, kLowestZoom, kHighestZoom);
    const QPoint point = event->position().toPoint();
    CDxDisplay::SetZoomInfo(level, point.x(), point.y());
    Redraw();
}

void CWndScrD3D::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        Notify(kRightDoubleClick, m_displayIdValue, false);
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    int level = 0;
    int x = 0;
    int y = 0;
    tachy::video::VideoRect zoomed;
    tachy::video::VideoRect client;
    CDxDisplay::GetDispZoomStatus(level, x, y, zoomed, client);
    if (m_zoomMode == 1) {
        if (ctrl(event) || (m_zoomOption == 0 && level != kNormalZoom)) {
            CDxDisplay::SetZoomInfo(kNormalZoom, x, y);
            Redraw();
        } else if (HitScreen(point)) {
            Notify(kLeftDoubleClick, m_displayIdValue, false);
        }
        return;
    }
    if (m_zoomMode == 2 && !OriginalSize() && (m_zoomOption == 0 || ctrl(event))) {
        const int next = level == 256 ? 512 : level == 512 ? 768 : level == 768 ? 1024 : kNormalZoom;
        CDxDisplay::SetZoomInfo(next, point.x(), point.y());
        Redraw();
    }
}
