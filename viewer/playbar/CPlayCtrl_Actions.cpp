// The play bar's buttons and sliders: each becomes a command to the owner, with the few local
// changes around it (play/pause buttons, speed step, time-lapse factor, slider seeking).
#include "viewer/playbar/CPlayCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlImage.h"
#include "skinctl/CCtrlSlider.h"
#include "skinres/CExImageManager.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"

#include <array>

namespace viewer::playbar {
namespace {

constexpr std::array<const char*, 4> kSpeedImages{"PlaySpeed_05x", "PlaySpeed_10x", "PlaySpeed_15x",
                                                  "PlaySpeed_20x"};

} // namespace

std::intptr_t CPlayCtrl::Send(std::uintptr_t code, std::intptr_t argument) {
    return m_owner.command(kUserMessage, code, argument);
}

void CPlayCtrl::OnButton(int id) {
    switch (id) {
    case kPlay:
        if (Send(kPlay) != 0) {
            ShowPlayButton(false);
        }
        break;
    case kPause:
        Send(kPause);
        ShowPlayButton(true);
        break;
    case kStepForwardKey:
    case kStepBackwardKey:
    case kStepForward:
        if (Send(static_cast<std::uintptr_t>(id)) != 0) {
            ShowPlayButton(true);
        }
        break;
    case kNextFile:
        ShowPlayButton(Send(kNextFile) == 0);
        break;
    case kApplySpeed:
        OnTimeLapse();
        break;
    case kSpeedUp:
        SpeedUp();
        break;
    case kSpeedDown:
        SpeedDown();
        break;
    case kRotateMain:
        OnSwitch();
        break;
    default:
        if (id >= kFirstSpeedButton && id < kFirstSpeedButton + 4) {
            OnSpeedRadio(id);
        } else if (id >= kFirstFlipButton && id < kFirstFlipButton + 3) {
            Send(kFlip, id - kFirstFlipButton);
        } else if (id >= kFirstMirrorButton && id < kFirstMirrorButton + 3) {
            Send(kMirror, id - kFirstMirrorButton);
        } else {
            Send(static_cast<std::uintptr_t>(id)); // previous file, delete, zoom, full screen
        }
        break;
    }
}

// The factor follows the button before the owner reads it; a playing time label changes to
// (or back from) real time at once.
void CPlayCtrl::OnTimeLapse() {
    m_speed.SetTimeLapse(m_buttons[kApplySpeed]->isChecked());
    Send(kApplySpeed);
    if (m_viewState == kPlaying) {
        ShowTime();
    }
}

void CPlayCtrl::SpeedUp() {
    if (m_speed.Faster()) {
        ShowSpeedStep();
        Send(kSpeedUp);
    }
}

void CPlayCtrl::SpeedDown() {
    if (m_speed.Slower()) {
        ShowSpeedStep();
        Send(kSpeedDown);
    }
}

void CPlayCtrl::OnSpeedRadio(int id) {
    if (m_speed.Select(id - kFirstSpeedButton + PlaySpeed::kSlowestStep)) {
        ShowSpeedStep();
    }
    Send(kSpeedDown);
}

void CPlayCtrl::ShowSpeedStep() {
    const int index = m_speed.Step() - PlaySpeed::kSlowestStep;
    m_buttons[kFirstSpeedButton + index]->setChecked(true);
    const QImage* image =
        m_context.images != nullptr
            ? m_context.images->GetImageFile(QString::fromLatin1(kSpeedImages[static_cast<std::size_t>(index)]))
            : nullptr;
    m_speedIndicator->SetImage(image != nullptr ? *image : QImage());
}

// The toggle remembers that the owner shows another camera first, so that the next entry can
// turn back to the front camera. Single-camera entries have nothing to switch to, unless a
// switch made earlier is to be undone.
void CPlayCtrl::OnSwitch() {
    if (m_viewState != kPlaying) {
        return;
    }
    if (!m_entry || m_entry->m_nChannelCount != 1 || m_switchToggled) {
        Send(kRotateMain);
        m_switchToggled = !m_switchToggled;
    }
}

void CPlayCtrl::OnSliderNotify(int message, int id, int position) {
    if (id == kPositionSlider) {
        OnPositionSlider(message, position);
        return;
    }
    if (id == kVolumeSlider &&
        (message == CCtrlSlider::kNotifyPress || message == CCtrlSlider::kNotifyMove)) {
        Send(kSetVolume, position);
    }
}

// Dragging holds the picture and seeks key frame by key frame; a move within the same key
// frame asks nothing. When nothing plays the owner refuses the hold and the drag is ignored.
void CPlayCtrl::OnPositionSlider(int message, int position) {
    switch (message) {
    case CCtrlSlider::kNotifyPress:
        if (Send(kHoldImage) == 1) {
            m_seeking = false;
            m_positionSlider->SetPos(m_framePosition);
            return;
        }
        m_seeking = true;
        m_soughtKeyframe = m_mapping.KeyframeAt(position);
        Send(kGotoTimeBegin, m_soughtKeyframe);
        break;
    case CCtrlSlider::kNotifyMove:
        if (m_seeking && m_mapping.KeyframeAt(position) != m_soughtKeyframe) {
            m_soughtKeyframe = m_mapping.KeyframeAt(position);
            Send(kGotoTimeBegin, m_soughtKeyframe);
        }
        break;
    case CCtrlSlider::kNotifyRelease:
        if (m_seeking) {
            m_seeking = false;
            Send(kReleaseImage);
        }
        break;
    default:
        break;
    }
}

} // namespace viewer::playbar
