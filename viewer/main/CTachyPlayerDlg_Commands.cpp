// The main window's commands: the internal command bus, the toolbar and the keyboard.
#include "viewer/main/CTachyPlayerDlg.h"

#include "audio/sound/ISoundEx.h"
#include "display/CWndDisplay.h"
#include "display/DisplayMessages.h"
#include "engine/IIntrReplayEx.h"
#include "platform/process/Process.h"
#include "util/CUtilPath.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/boxes/DisplayHost.h"
#include "viewer/main/ViewerKeyboard.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/obd/COBDInfo.h"
#include "viewer/playbar/CPlayCtrl.h"

#include <QKeyEvent>
#include <algorithm>
#include <thread>

using namespace viewer;
using namespace std::chrono_literals;

std::intptr_t CTachyPlayerDlg::command(unsigned message, std::uintptr_t code, std::intptr_t argument) {
    if (message == kUserMessage) {
        return OnUserCommand(code, argument);
    }
    if (message == tachy::display::kDisplayNotify && code == tachy::display::kDrawFailed) {
        // A display lost its device: the boxes' timers make it again.
        return 0;
    }
    return 0;
}

std::intptr_t CTachyPlayerDlg::OnUserCommand(std::uintptr_t code, std::intptr_t argument) {
    const bool playing = m_loadState == kPlaying;
    switch (code) {
    case kExit:
        StopAndReset();
        close();
        return 0;
    case kMaximise:
    case kRestore:
        ToggleMaximised();
        return 0;
    case kMinimise:
        showMinimized();
        return 0;
    case kAbout:
    case kInfo:
        ShowMessage(this, m_app.Language(), QString::fromStdString(m_app.Option().title),
                    QString::fromStdString(m_app.Option().title + " " + m_app.Option().version), false);
        return 0;
    case kHoldImage:
        return m_engine->HoldCurrentImage() == 0 ? 1 : 0;
    case kReleaseImage:
        m_engine->ReleaseCurrentImage();
        return 0;
    case kGotoTime:
        return m_engine->GotoTimeSearch(static_cast<int>(argument));
    case kGotoTimeBegin:
        return m_engine->GotoTimeSearchBegin(static_cast<int>(argument));
    case kSetVolume:
        ApplyVolume(static_cast<int>(argument));
        return 0;
    case kGetVolume:
        return m_Setup.volume;
    case kEngineStateAndPause: {
        const int state = m_engine->GetPlayerState();
        if (state == 2) {
            m_engine->Pause();
        }
        return state;
    }
    case kPlayArgument:
        if (argument == 2) {
            Play();
        }
        return 0;
    case kStopAndReset:
    case kListAll:
        StopAndReset();
        return 0;
    case kReopenPath: {
        const auto* path = reinterpret_cast<const char*>(argument);
        if (path != nullptr && LoadedPath().contains(QString::fromUtf8(path))) {
            OpenPath(LoadedPath());
        }
        return 0;
    }
    case kPreviousFile:
        MoveFile(-1);
        return 0;
    case kNextFile:
        // The play bar shows its pause button when playback went on into the next file.
        MoveFile(1);
        return m_loadState == kPlaying ? 1 : 0;
    case kStepBackwardKey:
    case kStepForwardKey:
    case kStepForward:
        if (!RequirePlayback()) {
            return 0;
        }
        if (code == kStepBackwardKey) {
            return m_engine->StepBackwardKeyframe(-1);
        }
        if (code == kStepForwardKey) {
            return m_engine->StepForwardKeyframe(-1);
        }
        return m_engine->StepForward(-1);
    case kPlay:
        return PlayOrResume();
    case kPause:
        PauseOrResume();
        return 0;
    case kDeleteCurrent:
        DeleteCurrentFile();
        return 0;
    case kApplySpeed:
    case kSpeedDown:
    case kSpeedUp:
        ApplySpeed();
        return 0;
    case kZoomOut:
    case kZoomIn:
        if (RequirePlayback()) {
            ZoomBoxes(code == kZoomIn);
        }
        return 0;
    case kFullScreen:
    case kRestoreFromFull:
        ToggleFullScreen();
        return 0;
    case kRotateMain:
        RotateMainChannel();
        return 0;
    case kFlip:
        ToggleTransform(static_cast<int>(argument), 1);
        return 0;
    case kMirror:
        ToggleTransform(static_cast<int>(argument), 2);
        return 0;
    case kListActivate:
        if (argument == 0) {
            if (playing) {
                StopPlayback();
            }
            Play();
        }
        return 0;
    case kObdLog:
        OpenObdLog();
        return 0;
    case kOpenFolder:
        OpenFolderDialog();
        return 0;
    case kOpenCard:
        OpenCardDialog();
        return 0;
    case kSetup:
        StartSetupProgram();
        return 0;
    case kSetBrightness:
    case kSetContrast:
        ApplyPictureControl(code == kSetBrightness, static_cast<int>(argument));
        return 0;
    default:
        return 0;
    }
}

void CTachyPlayerDlg::OpenFolderDialog() {
    const CExLangManager& language = m_app.Language();
    CUtilPath picker;
    std::string chosen;
    const QString start = LoadedPath().isEmpty() ? QString::fromStdString(m_Setup.latestPath) : LoadedPath();
    if (picker.SelectFolder(this, start.toStdString(), LanguageText(language, "main open folder title").toStdString(),
                            LanguageText(language, "main open folder message").toStdString(), chosen,
                            LanguageText(language, "common ok").toStdString(),
                            LanguageText(language, "common cancel").toStdString(), 0) != 0 &&
        !chosen.empty()) {
        OpenPath(QString::fromStdString(chosen));
    }
}

// The card dialog is still a folder choice here: a card is opened at its mount point.
void CTachyPlayerDlg::OpenCardDialog() {
    OpenFolderDialog();
}

// The recorder's vehicle driving log on the loaded card, in its dialog.
// Commands that only make sense while playing tell the user so instead of doing nothing.
bool CTachyPlayerDlg::RequirePlayback() {
    if (m_loadState == kPlaying) {
        return true;
    }
    ShowKeyedMessage(this, m_app.Language(), "common info", "message 004");
    return false;
}

void CTachyPlayerDlg::OpenObdLog() {
    if (m_loadState == kNothingLoaded) {
        ShowKeyedMessage(this, m_app.Language(), "common info", "message 002");
        return;
    }
    COBDInfo dialog(m_app.Context(), this);
    if (!dialog.Load(LoadedPath().toStdString())) {
        ShowKeyedMessage(this, m_app.Language(), "common info", "obd info message");
        return;
    }
    dialog.exec();
}

void CTachyPlayerDlg::StartSetupProgram() {
    const std::string& name = m_app.Option().setupName;
    if (name.empty()) {
        return;
    }
    tachy::Process setup;
    setup.start(m_app.GetPaths().programFolder / name, {});
}

// The speed the play bar shows: its step's factor, slowed to real time for time-lapse files.
void CTachyPlayerDlg::ApplySpeed() {
    m_appliedSpeed = m_playCtrl->SpeedFactor() * m_playCtrl->TimeLapseFactor();
    m_engine->SetPBSpeed(m_appliedSpeed);
}

// Play from the list, or go on after a pause or a step; 1 when playback runs afterwards.
std::intptr_t CTachyPlayerDlg::PlayOrResume() {
    if (m_loadState != kPlaying) {
        Play();
        return m_loadState == kPlaying ? 1 : 0;
    }
    const int state = m_engine->GetPlayerState();
    if (state == 2 || state == 3) {
        return 1;
    }
    PauseOrResume();
    return m_engine->GetPlayerState() == 2 ? 1 : 0;
}

void CTachyPlayerDlg::ApplyVolume(int volume) {
    m_Setup.volume = std::clamp(volume, 0, 100);
    m_playCtrl->SetVolumePosition(m_Setup.volume);
    const std::lock_guard<std::mutex> guard(m_soundLock);
    if (m_sound) {
        m_sound->SetVolume(m_Setup.volume);
    }
}

void CTachyPlayerDlg::ApplyPictureControl(bool brightness, int value) {
    (brightness ? m_Setup.brightness : m_Setup.contrast) = value;
    for (int channel = 0; channel < 3; ++channel) {
        if (brightness) {
            m_engine->SetBrightness(channel, value);
        } else {
            m_engine->SetContrast(channel, value);
        }
        CWndDisplay* display = m_boxes[static_cast<std::size_t>(channel)]->Display();
        brightness ? display->SetBrightness(value) : display->SetContrast(value);
    }
    brightness ? m_fullScreen->SetBrightness(value) : m_fullScreen->SetContrast(value);
}

void CTachyPlayerDlg::ZoomBoxes(bool in) {
    if (m_isFullScreen) {
        if (CWndDisplay* display = m_fullScreen->Display()) {
            in ? viewer::ZoomIn(*display) : viewer::ZoomOut(*display, false);
        }
        return;
    }
    for (CWndDisplayBox* box : m_boxes) {
        in ? viewer::ZoomIn(*box->Display()) : viewer::ZoomOut(*box->Display(), false);
    }
}

// Keys reach the window itself only when no child took them; the keyboard table's filter
// hands the table's keys to HandleKey before any child can.
void CTachyPlayerDlg::keyPressEvent(QKeyEvent* event) {
    if (!viewer::ViewerKeyboard::Claims(event->key(), event->modifiers())) {
        QWidget::keyPressEvent(event);
        return;
    }
    HandleKey(event->key(), event->modifiers());
    event->accept();
}

void CTachyPlayerDlg::HandleKey(int key, Qt::KeyboardModifiers pressed) {
    const Qt::KeyboardModifiers modifiers = viewer::ViewerKeyboard::Relevant(pressed);
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool playing = m_loadState == kPlaying;
    switch (key) {
    case Qt::Key_F2:
        OnUserCommand(kOpenFolder, 0);
        break;
    case Qt::Key_F3:
        OnUserCommand(kOpenCard, 0);
        break;
    case Qt::Key_F4:
        OnUserCommand(kSetup, 0);
        break;
    case Qt::Key_F5:
        OnUserCommand(kPrint, 0);
        break;
    case Qt::Key_F6:
        OnUserCommand(kSnapshot, 0);
        break;
    case Qt::Key_Space:
        if (modifiers == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
            StopAndReset();
        } else if (playing) {
            PauseOrResume();
        } else {
            Play();
        }
        break;
    case Qt::Key_Backspace:
        if (playing && m_engine->GetPlayerState() == 2) {
            StopPlayback();
            Play();
        } else if (playing) {
            StopPlayback();
        }
        break;
    case Qt::Key_PageUp:
        MoveFile(-1);
        break;
    case Qt::Key_PageDown:
        MoveFile(1);
        break;
    case Qt::Key_Right:
        OnUserCommand(kStepForwardKey, 0);
        break;
    case Qt::Key_Left:
        OnUserCommand(kStepBackwardKey, 0);
        break;
    case Qt::Key_F:
        OnUserCommand(kStepForward, 0);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (ctrl) {
            // As the play bar's speed buttons: the bar steps, then asks for the new speed.
            key == Qt::Key_Up ? m_playCtrl->SpeedUp() : m_playCtrl->SpeedDown();
        } else {
            ApplyVolume(m_Setup.volume + (key == Qt::Key_Up ? 1 : -1));
        }
        break;
    case Qt::Key_F9:
        m_Setup.pipPos = m_Setup.pipPos == 1 ? 0 : 1;
        for (CWndDisplayBox* box : m_boxes) {
            box->Display()->SetDispZoomPIP(m_Setup.pipShow, m_Setup.pipPos);
        }
        break;
    case Qt::Key_F10:
        m_Setup.pipShow = m_Setup.pipShow != 0 ? 0 : 1;
        for (CWndDisplayBox* box : m_boxes) {
            box->Display()->SetDispZoomPIP(m_Setup.pipShow, m_Setup.pipPos);
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::ShiftModifier) {
            if (ShowKeyedMessage(this, m_app.Language(), "common info", "message 013", true) == Answer::Ok) {
                OnUserCommand(kExit, 0);
            }
        } else if (ctrl) {
            if (!m_isFullScreen) {
                ToggleMaximised();
            }
        } else {
            ToggleFullScreen();
        }
        break;
    case Qt::Key_Escape:
        if (m_isFullScreen) {
            ToggleFullScreen();
        } else if (m_maximised) {
            ToggleMaximised();
        }
        break;
    default:
        break;
    }
}
