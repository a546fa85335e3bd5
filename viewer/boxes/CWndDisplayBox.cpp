#include "viewer/boxes/CWndDisplayBox.h"

#include "display/CWndDisplay.h"
#include "platform/debug/DebugOut.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"

#include <QPainter>
#include <QTimerEvent>

namespace {

constexpr int kResetInterval = 500;

viewer::DisplaySetup boxSetup(int position, int format) {
    viewer::DisplaySetup setup;
    setup.format = format;
    setup.defaultLogo = position == 0 ? QStringLiteral("screen_front_big") : QStringLiteral("screen_rear_small");
    if (position == 0) {
        setup.logos[0] = QStringLiteral("screen_front_big");
        setup.logos[1] = QStringLiteral("screen_front_small");
    } else {
        setup.logos[0] = QStringLiteral("screen_rear_small");
        setup.logos[1] = QStringLiteral("screen_rear_bit");
    }
    setup.logos[2] = QStringLiteral("screen_full");
    setup.fallbackKind = 0;
    setup.fallbackFormat = 4;
    return setup;
}

} // namespace

CWndDisplayBox::CWndDisplayBox(QWidget* parent, const ViewerContext& context, int position, int format,
                               int logoAtOwnSize)
    : QWidget(parent), m_context(context), m_position(position), m_setup(boxSetup(position, format)) {
    m_display = viewer::CreateHostDisplay(this, *context.images, m_setup);
    if (m_display == nullptr) {
        tachy::DebugOut::write("CWndDisplayBox::OnCreate - failed\n");
        return;
    }
    m_display->SetLogoSize(logoAtOwnSize);
    m_display->SetShowLogoIndex(0);
    m_display->SetDisplayID(position);
    const int model = context.modelCode;
    if (model == 5 || model == 6 || model == 7) {
        m_display->SetAspectRatioMode(0x10001, 1);
    } else {
        m_display->SetAspectRatioMode(0x10000, 0);
    }
    m_timer = startTimer(kResetInterval);
    tachy::DebugOut::write("CWndDisplayBox::OnCreate - succeeded\n");
}

CWndDisplayBox::~CWndDisplayBox() {
    if (m_timer != 0) {
        killTimer(m_timer);
    }
    delete m_display;  // NOLINT(cppcoreguidelines-owning-memory): before the box's own teardown
}

void CWndDisplayBox::SetPlaying(bool playing) {
    m_playing = playing;
}

void CWndDisplayBox::SetHighlighted(bool highlighted) {
    m_highlighted = highlighted;
    update();
}

void CWndDisplayBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const bool first = m_position == 0 ? !m_highlighted : m_highlighted;
    const QImage* frame = m_context.images->GetImageFile(first ? QStringLiteral("VideoFrame01")
                                                               : QStringLiteral("VideoFrame02"));
    if (frame != nullptr && !frame->isNull()) {
        painter.drawImage(rect(), *frame);
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    if (m_display != nullptr && !m_suppressRedraw) {
        m_display->UpdateScreen2(m_playing ? 0 : 1);
    }
}

void CWndDisplayBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_display == nullptr) {
        return;
    }
    const _WIN_POS* frame = m_context.positions->GetWinPos(QStringLiteral("Display Frame"));
    m_display->setGeometry(frame != nullptr ? viewer::LayoutRect(*frame, width(), height()) : rect());
    update();
}

void CWndDisplayBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer || m_display == nullptr) {
        return;
    }
    if (viewer::RecoverDisplay(*m_display) && !m_playing) {
        m_display->UpdateScreen2(1);
    }
}
