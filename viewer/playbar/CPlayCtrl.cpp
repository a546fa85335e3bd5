#include "viewer/playbar/CPlayCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlImage.h"
#include "skinctl/CCtrlSlider.h"
#include "skinctl/CCtrlText.h"
#include "skinctl/SkinPaint.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"
#include "viewer/playbar/IncidentMarkStrip.h"
#include "viewer/playbar/PlayBarText.h"
#include "viewer/trip/DrivingScan.h"

#include <QPainter>

namespace viewer::playbar {
namespace {

enum class Kind { Push, Check, Radio, Transform };

struct ButtonEntry {
    int id;
    const char* images; // the skin images are this base + "normal", "over", "press"
    const char* place;  // the skin element that places it
    Kind kind;
};

constexpr ButtonEntry kButtons[] = {
    {kPreviousFile, "PrevFile_", "PrevFile", Kind::Push},
    {kStepBackwardKey, "StepBackward_", "StepBackward", Kind::Push},
    {kPlay, "PlayForward_", "PlayForward", Kind::Push},
    {kPause, "Pause_", "Pause", Kind::Push},
    {kStepForwardKey, "StepForward_", "StepForward", Kind::Push},
    {kNextFile, "NextFile_", "NextFile", Kind::Push},
    {kStepForward, "Step_", "Step", Kind::Push},
    {kApplySpeed, "Timelapse_", "Timelapse", Kind::Check},
    {kDeleteCurrent, "Delete_", "Delete", Kind::Push},
    {kSpeedDown, "SpeedDown_", "PlaySpeed Down", Kind::Push},
    {kSpeedUp, "SpeedUp_", "PlaySpeed Up", Kind::Push},
    {kZoomOut, "ZoomOut_", "Zoom Out", Kind::Push},
    {kZoomIn, "ZoomIn_", "Zoom In", Kind::Push},
    {kFullScreen, "Full_", "Full", Kind::Push},
    {kRestoreFromFull, "RestoreFF_", "RestoreFromFull", Kind::Push},
    {kRotateMain, "Switch_", "Switch", Kind::Push},
    {CPlayCtrl::kFirstSpeedButton, "PlaySpeed_05x_", "PlaySpeed 05", Kind::Radio},
    {CPlayCtrl::kFirstSpeedButton + 1, "PlaySpeed_10x_", "PlaySpeed 10", Kind::Radio},
    {CPlayCtrl::kFirstSpeedButton + 2, "PlaySpeed_15x_", "PlaySpeed 15", Kind::Radio},
    {CPlayCtrl::kFirstSpeedButton + 3, "PlaySpeed_20x_", "PlaySpeed 20", Kind::Radio},
    {CPlayCtrl::kFirstFlipButton, "Flip_", "Flip_ch0", Kind::Transform},
    {CPlayCtrl::kFirstFlipButton + 1, "Flip_", "Flip_ch1", Kind::Transform},
    {CPlayCtrl::kFirstFlipButton + 2, "Flip_", "Flip_ch2", Kind::Transform},
    {CPlayCtrl::kFirstMirrorButton, "Mirror_", "Mirror_ch0", Kind::Transform},
    {CPlayCtrl::kFirstMirrorButton + 1, "Mirror_", "Mirror_ch1", Kind::Transform},
    {CPlayCtrl::kFirstMirrorButton + 2, "Mirror_", "Mirror_ch2", Kind::Transform},
};

// The recorder model whose flip and mirror buttons are plain push buttons.
constexpr int kModelWithPushTransforms = 6;
// The models that record a third camera, and so have its flip and mirror buttons.
bool HasThirdCamera(int modelCode) {
    return modelCode == 5 || modelCode == 7;
}

// The bar's design size when the skin has no "PlayCtrl" element.
constexpr QSize kDesignSize(1280, 104);

QImage SkinImage(const ViewerContext& context, const char* name) {
    const QImage* image =
        context.images != nullptr ? context.images->GetImageFile(QString::fromLatin1(name)) : nullptr;
    return image != nullptr ? *image : QImage();
}

} // namespace

CPlayCtrl::CPlayCtrl(const ViewerContext& context, tachy::CommandTarget& owner, QWidget* parent)
    : QWidget(parent), m_context(context), m_owner(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_background = SkinImage(context, "playbar_bg");
    CreateButtons();
    CreateSliders();
    CreateLabels();
    CreateIncidentMarks();
    ApplyModelVisibility();
    ShowSpeedStep();
    ApplyState(kNothingLoaded);
    LayOut();
}

CPlayCtrl::~CPlayCtrl() = default;

void CPlayCtrl::CreateButtons() {
    const bool pushTransforms = m_context.modelCode == kModelWithPushTransforms;
    for (const ButtonEntry& entry : kButtons) {
        auto* button = new CCtrlButtonEx(this); // child
        if (m_context.images != nullptr) {
            button->SetImages(tachy::skinctl::SkinStateImages::fromSkin(
                *m_context.images, QString::fromLatin1(entry.images)));
        }
        button->setFocusPolicy(Qt::NoFocus);
        button->setCheckable(entry.kind == Kind::Check || entry.kind == Kind::Radio ||
                             (entry.kind == Kind::Transform && !pushTransforms));
        button->setAutoExclusive(entry.kind == Kind::Radio);
        const int id = entry.id;
        connect(button, &QAbstractButton::clicked, this, [this, id] { OnButton(id); });
        m_buttons[id] = button;
        m_placeOf[id] = entry.place;
    }
}

void CPlayCtrl::CreateSliders() {
    CCtrlSlider::Images images{SkinImage(m_context, "bar_bg"), SkinImage(m_context, "bar_left"),
                               SkinImage(m_context, "bar_right"), SkinImage(m_context, "bar_thumb")};
    m_positionSlider = new CCtrlSlider(kPositionSlider, this); // child
    m_positionSlider->SetImages(images);
    m_positionSlider->SetRange(0, 100);
    images.track = SkinImage(m_context, "bar_bg_vol");
    m_volumeSlider = new CCtrlSlider(kVolumeSlider, this); // child
    m_volumeSlider->SetImages(images);
    m_volumeSlider->SetRange(0, 100);
    m_volumeSlider->SetPos(static_cast<int>(Send(kGetVolume)));
    for (CCtrlSlider* slider : {m_positionSlider, m_volumeSlider}) {
        connect(slider, &CCtrlSlider::notify, this,
                [this](int message, int id, int position) { OnSliderNotify(message, id, position); });
    }
}

void CPlayCtrl::CreateLabels() {
    const auto textColour = [this](const char* place) {
        const _WIN_POS* position = Position(place);
        return position != nullptr ? QColor::fromRgba(position->color[0]) : QColor(Qt::white);
    };

    m_timeBackgroundIdle = SkinImage(m_context, "PlayTime Bg");
    m_timeBackgroundPlaying = SkinImage(m_context, "PlayTime");
    m_timeLabel = new CCtrlText(this); // child
    m_timeLabel->SetTextColour(textColour("PlayTime"));
    m_timeLabel->SetAlignment(CCtrlGDIpString::AlignCentre);
    m_speedLabel = new CCtrlText(this); // child
    m_speedLabel->SetTextColour(textColour("Speed bg"));
    m_speedLabel->SetAlignment(CCtrlGDIpString::AlignCentre);
    m_speedLabel->SetBackground(SkinImage(m_context, "speed_bg"));

    m_speedIndicator = new CCtrlImage(this); // child
    m_volumeIcon = new CCtrlImage(this);     // child
    m_volumeIcon->SetImage(SkinImage(m_context, "icon_volume"));
    OnLanguageChanged();
}

// The labels' fonts and tool tips and the speed unit come from the language.
void CPlayCtrl::OnLanguageChanged() {
    const CExLangManager* language = m_context.language;
    const QString family = language != nullptr ? language->GetFontName() : QString();
    const auto fontSize = [language](const char* key) {
        const _TAG_STRING_INFO* info =
            language != nullptr ? language->GetTextInfo(QString::fromLatin1(key)) : nullptr;
        return info != nullptr && info->fontSize > 0 ? info->fontSize : 12;
    };
    m_timeLabel->SetTextFont(family, fontSize("play time"), CCtrlGDIpString::Bold);
    m_timeLabel->setToolTip(language != nullptr ? language->GetText(QStringLiteral("play time"))
                                                : QString());
    m_speedUnit = language != nullptr ? language->GetText(QStringLiteral("car speed")) : QString();
    m_speedLabel->SetTextFont(family, fontSize("car speed"), CCtrlGDIpString::Bold);
    update();
}

const _WIN_POS* CPlayCtrl::Position(const char* name) const {
    return m_context.positions != nullptr
               ? m_context.positions->GetWinPos(QString::fromLatin1(name))
               : nullptr;
}

// Flip and mirror of the third display only on models with a third camera; the full-screen
// pair and the play/pause pair each show one of the two (state and full screen decide).
void CPlayCtrl::ApplyModelVisibility() {
    const bool third = HasThirdCamera(m_context.modelCode);
    m_buttons[kFirstFlipButton + 2]->setVisible(third);
    m_buttons[kFirstMirrorButton + 2]->setVisible(third);
    SetFullScreenShown(false);
}

// Each control at its skin element, laid out for the bar's size. The elements are in the
// pixels of the bar's design size ("PlayCtrl"), scaled as the bar is.
void CPlayCtrl::LayOut() {
    const double scale = PanelScale(Position("PlayCtrl"), kDesignSize, size());
    const auto place = [&](QWidget* control, const char* name) {
        PlaceControl(*control, Position(name), size(), scale);
    };
    for (const auto& [id, button] : m_buttons) {
        place(button, m_placeOf[id]);
    }
    place(m_speedIndicator, "PlaySpeed Indicate");
    place(m_positionSlider, "Playbar");
    // The marks stand in a strip just above the slider, over its range.
    const QRect slider = m_positionSlider->geometry();
    const int strip = std::max(6, slider.height() / 3);
    m_incidentMarks->setGeometry(slider.x(), std::max(slider.y() - strip, 0), slider.width(),
                                 std::min(strip, slider.y() > 0 ? slider.y() : strip));
    const QImage thumb = SkinImage(m_context, "bar_thumb");
    m_incidentMarks->SetInset((thumb.isNull() ? 16 : tachy::skinctl::logicalSize(thumb).width()) / 2);
    m_incidentMarks->raise();
    place(m_timeLabel, "PlayTime");
    place(m_speedLabel, "Speed bg");
    place(m_volumeIcon, "Volume icon");
    place(m_volumeSlider, "Volumebar");
}

void CPlayCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CPlayCtrl::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_background.isNull()) {
        painter.fillRect(rect(), QColor(0x1E, 0x21, 0x26));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(rect(), m_background);
}

CCtrlButtonEx* CPlayCtrl::Button(int id) const {
    const auto found = m_buttons.find(id);
    return found != m_buttons.end() ? found->second : nullptr;
}

CCtrlSlider* CPlayCtrl::Slider(int id) const {
    return id == kPositionSlider ? m_positionSlider : id == kVolumeSlider ? m_volumeSlider : nullptr;
}

const QImage& CPlayCtrl::SpeedIndicatorImage() const {
    return m_speedIndicator->GetImage();
}

QString CPlayCtrl::TimeText() const {
    return m_timeLabel->GetText();
}

QString CPlayCtrl::SpeedText() const {
    return m_speedLabel->GetText();
}

void CPlayCtrl::ShowPlayButton(bool show) {
    m_buttons[kPlay]->setVisible(show);
    m_buttons[kPause]->setVisible(!show);
}

void CPlayCtrl::SetFullScreenShown(bool shown) {
    m_fullScreen = shown;
    m_buttons[kFullScreen]->setVisible(!shown);
    m_buttons[kRestoreFromFull]->setVisible(shown);
}

void CPlayCtrl::SetVolumePosition(int volume) {
    if (!m_volumeSlider->IsDragging()) {
        m_volumeSlider->SetPos(volume);
    }
}

} // namespace viewer::playbar
