#include "display/CWndScrD3D.h"

#include "display/DisplayMessages.h"
#include "platform/bus/CommandTarget.h"

#include <QResizeEvent>

using tachy::video::VideoRect;

CWndScrD3D::CWndScrD3D(QWidget* parent) : CWndDisplay(parent), m_parent(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CWndScrD3D::~CWndScrD3D() {
    // The presenter is a child of this window: it goes while the window still exists.
    ReleaseRenderer();
}

int CWndScrD3D::CreateScreen(QWidget* owner, unsigned long first, unsigned long second) {
    return CreateScreen(owner, first, second, nullptr, 4);
}

int CWndScrD3D::CreateScreen(QWidget* owner, unsigned long first, unsigned long second, const QImage* logo) {
    return CreateScreen(owner, first, second, logo, 4);
}

int CWndScrD3D::CreateScreen(QWidget* owner, unsigned long, unsigned long, const QImage* logo, int format) {
    const QImage* bitmap = logo != nullptr && !logo->isNull() ? logo : nullptr;
    if (CreateRenderer(this, format, bitmap) == 0) {
        return 0;
    }
    m_owner = owner;
    return 1;
}

int CWndScrD3D::LoadLogo(int index, const QImage* bitmap) {
    return LoadRendererLogo(index, bitmap);
}

VideoRect CWndScrD3D::ClientRect() const {
    return {0, 0, m_clientWidth.load(), m_clientHeight.load()};
}

void CWndScrD3D::InitLayout(int layout) {
    for (auto& screens : m_screens) {
        screens.clear();
    }
    if (layout >= 0 && layout <= 4) {
        m_screens[static_cast<std::size_t>(layout)] =
            tachy::display::layoutRects(layout, m_clientWidth.load(), m_clientHeight.load());
    }
}

std::vector<VideoRect> CWndScrD3D::Screens(int layout) const {
    return layout >= 0 && layout <= 4 ? m_screens[static_cast<std::size_t>(layout)] : std::vector<VideoRect>{};
}

// Draws into the client area; a failed draw on a lost device tells the parent, which answers
// with ResetDisplay.
void CWndScrD3D::DrawAndReport(int logo) {
    if (Draw(ClientRect(), logo) == 0 && ResetFlag() != 0) {
        auto* target = dynamic_cast<tachy::CommandTarget*>(m_parent);
        if (target != nullptr) {
            auto* self = static_cast<CWndDisplay*>(this);
            QMetaObject::invokeMethod(
                m_parent,
                [target, self] {
                    target->command(tachy::display::kDisplayNotify, tachy::display::kDrawFailed,
                                    reinterpret_cast<std::intptr_t>(self));
                },
                Qt::QueuedConnection);
        }
    }
}

void CWndScrD3D::UpdateScreen(int logo) {
    if (m_layoutDirty.exchange(false)) {
        QMetaObject::invokeMethod(this, [this] { InitLayout(m_maxLayout); }, Qt::AutoConnection);
    }
    DrawAndReport(logo);
}

void CWndScrD3D::UpdateScreen2(int logo) {
    QMetaObject::invokeMethod(this, [this] { InitLayout(m_maxLayout); }, Qt::AutoConnection);
    DrawAndReport(logo);
}

void CWndScrD3D::SetLayout(int layout, int subIndex) {
    m_layout = layout;
    m_subIndex = subIndex;
    InitLayout(layout);
    InitDisScreen(layout, subIndex);
    DrawAndReport(1);
}

void CWndScrD3D::SetMaxLayout(int layout) {
    m_maxLayout = layout;
    m_layout = layout;
}

void CWndScrD3D::ReleaseAllScreen() {
    m_layout = 0;
    m_subIndex = 0;
    InitLayout(0);
    DrawAndReport(1);
}

void CWndScrD3D::SetInitFont(const QString& face, int height, const QString& text, unsigned long colour) {
    CWndDisplay::SetInitFont(face, height, text, colour);
    SetCaption(*InitFont(), text, colour);
}

void CWndScrD3D::SetBackgroundColor(unsigned short y, unsigned short cb, unsigned short cr) {
    // Kept for the owner; the background drawn stays the renderer's own.
    m_background = {y, cb, cr};
}

int CWndScrD3D::SetVidStream(int screen, const unsigned char* const* planes, int width, int height, int,
                             int format, const int* strides) {
    if (planes == nullptr || planes[0] == nullptr) {
        DrawAndReport(1);
        return 1;
    }
    UploadPlanes(screen, planes, width, height, format, strides);
    DrawAndReport(0);
    return 1;
}

int CWndScrD3D::SetVidStream(int screen, const unsigned char* bytes, int width, int height, int, int format) {
    if (bytes == nullptr) {
        DrawAndReport(1);
        return 1;
    }
    UploadBuffer(screen, bytes, width, height, format);
    DrawAndReport(0);
    return 1;
}

unsigned char* CWndScrD3D::GetPrintData(int screen, const unsigned char* source, unsigned long width,
                                        unsigned long height, int format) {
    return PrintData(screen, source, width, height, format);
}

void CWndScrD3D::ReleaseDDraw() {
    ReleaseRenderer();
    m_layoutDirty = true;
}

void CWndScrD3D::SetDisplayID(int id) {
    m_displayIdValue = id;
    SetRendererId(id);
}

void CWndScrD3D::GetDispZoomStatus(int& level, QPoint& point, QRect& zoomed, QRect& client) {
    int x = 0;
    int y = 0;
    VideoRect zoomedRect;
    VideoRect clientRect;
    CDxDisplay::GetDispZoomStatus(level, x, y, zoomedRect, clientRect);
    point = QPoint(x, y);
    zoomed = QRect(QPoint(zoomedRect.left, zoomedRect.top), QPoint(zoomedRect.right - 1, zoomedRect.bottom - 1));
    client = QRect(QPoint(clientRect.left, clientRect.top), QPoint(clientRect.right - 1, clientRect.bottom - 1));
}

void CWndScrD3D::SetDispZoomStatus(int& level, QPoint& point, QRect& zoomed, QRect& client) {
    int x = point.x();
    int y = point.y();
    VideoRect zoomedRect{zoomed.left(), zoomed.top(), zoomed.right() + 1, zoomed.bottom() + 1};
    VideoRect clientRect{client.left(), client.top(), client.right() + 1, client.bottom() + 1};
    CDxDisplay::SetDispZoomStatus(level, x, y, zoomedRect, clientRect);
}

void CWndScrD3D::resizeEvent(QResizeEvent* event) {
    m_clientWidth = event->size().width();
    m_clientHeight = event->size().height();
    CWndDisplay::resizeEvent(event);
    // The presenter keeps the last picture at its old size until something is drawn again.
    if (Device() != nullptr) {
        DrawAndReport(0);
    }
}
