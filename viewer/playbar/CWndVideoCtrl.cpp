#include "viewer/playbar/CWndVideoCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSlider.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"

#include <QPainter>

namespace viewer::playbar {
namespace {

// The panel's design size when the skin has no "VideoCtrl" element.
constexpr QSize kDesignSize(360, 72);

QImage SkinImage(const ViewerContext& context, const char* name) {
    const QImage* image =
        context.images != nullptr ? context.images->GetImageFile(QString::fromLatin1(name)) : nullptr;
    return image != nullptr ? *image : QImage();
}

} // namespace

CWndVideoCtrl::CWndVideoCtrl(const ViewerContext& context, tachy::CommandTarget& owner,
                             QWidget* parent)
    : QWidget(parent), m_context(context), m_owner(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_brightnessBackground = SkinImage(context, "videoctrl_bg_brightness");
    m_contrastBackground = SkinImage(context, "videoctrl_bg_contrast");
    m_brightness = MakeSlider(kSetBrightness, "bar_brightness_bg", "Brightness Bar");
    m_contrast = MakeSlider(kSetContrast, "bar_contrast_bg", "Contrast Bar");
    m_resetBrightness = MakeResetButton("btn_brightness_", "VideoCtrl Brightness icon", m_brightness);
    m_resetContrast = MakeResetButton("btn_contrast_", "VideoCtrl Contrast icon", m_contrast);
    SetValues(kNeutral, kNeutral);
    OnLanguageChanged();
    LayOut();
}

void CWndVideoCtrl::OnLanguageChanged() {
    setToolTip(Text("VideoCtrl"));
    for (const auto& [control, key] : m_tips) {
        control->setToolTip(Text(key));
    }
}

// A release or a move sends the new value; a press alone only moves the thumb, its release
// follows.
CCtrlSlider* CWndVideoCtrl::MakeSlider(int id, const char* track, const char* tip) {
    auto* slider = new CCtrlSlider(id, this); // child
    slider->SetImages({SkinImage(m_context, track), SkinImage(m_context, "bar_left"),
                       SkinImage(m_context, "bar_right"), SkinImage(m_context, "bar_thumb")});
    slider->SetRange(0, 100);
    m_tips.emplace_back(slider, tip);
    connect(slider, &CCtrlSlider::notify, this, [this](int message, int control, int position) {
        if (message == CCtrlSlider::kNotifyRelease || message == CCtrlSlider::kNotifyMove) {
            m_owner.command(kUserMessage, static_cast<std::uintptr_t>(control), position);
        }
    });
    return slider;
}

CCtrlButtonEx* CWndVideoCtrl::MakeResetButton(const char* images, const char* tip,
                                              CCtrlSlider* slider) {
    auto* button = new CCtrlButtonEx(this); // child
    if (m_context.images != nullptr) {
        button->SetImages(
            tachy::skinctl::SkinStateImages::fromSkin(*m_context.images, QString::fromLatin1(images)));
    }
    button->setFocusPolicy(Qt::NoFocus);
    m_tips.emplace_back(button, tip);
    connect(button, &QAbstractButton::clicked, this, [this, slider] {
        slider->SetPos(kNeutral);
        m_owner.command(kUserMessage, static_cast<std::uintptr_t>(slider->GetId()), kNeutral);
    });
    return button;
}

void CWndVideoCtrl::SetValues(int brightness, int contrast) {
    m_brightness->SetPos(brightness);
    m_contrast->SetPos(contrast);
}

const _WIN_POS* CWndVideoCtrl::Position(const char* name) const {
    return m_context.positions != nullptr
               ? m_context.positions->GetWinPos(QString::fromLatin1(name))
               : nullptr;
}

QString CWndVideoCtrl::Text(const char* key) const {
    return m_context.language != nullptr ? m_context.language->GetText(QString::fromLatin1(key))
                                         : QString();
}

void CWndVideoCtrl::LayOut() {
    const double scale = PanelScale(Position("VideoCtrl"), kDesignSize, size());
    const auto place = [&](QWidget* control, const char* name) {
        PlaceControl(*control, Position(name), size(), scale);
    };
    place(m_resetBrightness, "VideoCtrl Brightness icon");
    place(m_brightness, "Brightness Bar");
    place(m_resetContrast, "VideoCtrl Contrast icon");
    place(m_contrast, "Contrast Bar");
}

void CWndVideoCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

// The brightness row's background over the upper half, the contrast row's over the lower.
void CWndVideoCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x1E, 0x21, 0x26));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const int half = height() / 2;
    if (!m_brightnessBackground.isNull()) {
        painter.drawImage(QRect(0, 0, width(), half), m_brightnessBackground);
    }
    if (!m_contrastBackground.isNull()) {
        painter.drawImage(QRect(0, half, width(), height() - half), m_contrastBackground);
    }
}

} // namespace viewer::playbar
