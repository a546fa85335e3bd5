#include "viewer/boxes/CFullScreen.h"

#include "display/CWndDisplay.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QTimerEvent>

namespace {

constexpr int kResetInterval = 500;

} // namespace

CFullScreen::CFullScreen(QWidget* parent, const ViewerContext& context, int format)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_context(context) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);  // keys typed in full screen come here first
    setStyleSheet(QStringLiteral("background: black;"));
    m_setup.format = format;
    m_setup.defaultLogo = QStringLiteral("screen_full");
    m_setup.logos[0] = QStringLiteral("screen_full");
    m_setup.fallbackKind = 1;
    m_setup.fallbackFormat = 4;
    m_display = viewer::CreateHostDisplay(this, *context.images, m_setup);
    if (m_display == nullptr) {
        return;
    }
    m_display->SetLogoSize(1);
    m_display->SetShowLogoIndex(0);
    m_display->SetDisplayID(kControlId);
    m_display->SetAspectRatioMode(0x10000, 1);
    m_timer = startTimer(kResetInterval);
}

CFullScreen::~CFullScreen() {
    if (m_timer != 0) {
        killTimer(m_timer);
    }
    delete m_display;  // NOLINT(cppcoreguidelines-owning-memory): before the window's own teardown
}

void CFullScreen::SetBrightness(int value) {
    if (m_display != nullptr && !m_controlsDisabled) {
        m_display->SetBrightness(value);
    }
}

void CFullScreen::SetContrast(int value) {
    if (m_display != nullptr && !m_controlsDisabled) {
        m_display->SetContrast(value);
    }
}

void CFullScreen::ResetZoom(int value) {
    m_zoomResetValue = value;
    if (m_display != nullptr) {
        viewer::ZoomOut(*m_display, true);
    }
}

void CFullScreen::paintEvent(QPaintEvent* /*event*/) {
    if (m_display != nullptr && !m_suppressRedraw) {
        m_display->UpdateScreen2(m_playing ? 0 : 1);
    }
}

void CFullScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_display != nullptr) {
        m_display->setGeometry(rect());
    }
    CutOutPlayBar();
}

// The window without the play bar's rectangle, so the bar drawn by the main window shows.
void CFullScreen::CutOutPlayBar() {
    const _WIN_POS* bar = m_context.positions->GetWinPos(QStringLiteral("PlayCtrl Full"));
    // The bar is usually anchored to both sides with no width of its own: what counts is the
    // rectangle it gets in this window.
    const QRect playBar = bar != nullptr ? viewer::LayoutRect(*bar, width(), height()) : QRect();
    if (playBar.isEmpty()) {
        clearMask();
        return;
    }
    setMask(QRegion(rect()).xored(QRegion(playBar)));
}

void CFullScreen::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer || m_display == nullptr) {
        return;
    }
    if (viewer::RecoverDisplay(*m_display) && !m_playing) {
        m_display->UpdateScreen2(1);
    }
}

// Enter and Escape belong to the main window's keys, not to this window.
void CFullScreen::keyPressEvent(QKeyEvent* event) {
    event->ignore();
    if (parentWidget() != nullptr && (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
                                      event->key() == Qt::Key_Enter)) {
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
        QCoreApplication::sendEvent(parentWidget(), &copy);
    }
}
