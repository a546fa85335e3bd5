// The main window's commands: the internal command bus, the toolbar and the keyboard. Playback
// commands are the controller's; the window keeps its chrome, the dialogs, sound and pictures.
#include "viewer/main/CTachyPlayerDlg.h"

#include "display/CWndDisplay.h"
#include "display/DisplayMessages.h"
#include "engine/IIntrReplayEx.h"
#include "platform/process/Process.h"
#include "util/CUtilPath.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/appdlg/CDlgFormat.h"
#include "viewer/appdlg/CSelectRemovableDrive.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/boxes/DisplayHost.h"
#include "viewer/main/ExportCommands.h"
#include "viewer/main/ViewerKeyboard.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/obd/COBDInfo.h"
#include "viewer/playbar/CPlayCtrl.h"

#include <QKeyEvent>
#include <algorithm>
#include <thread>

using namespace viewer;
using namespace std::chrono_literals;

namespace {

// Whether path is the volume's root or lies below it: "/media/card2" is not on "/media/card".
bool IsOnVolume(const QString& path, QString root) {
    if (path.isEmpty() || root.isEmpty()) {
        return false;
    }
    while (root.size() > 1 && root.endsWith(QLatin1Char('/'))) {
        root.chop(1);
    }
    return path == root || path.startsWith(root == QStringLiteral("/") ? root : root + QLatin1Char('/'));
}

} // namespace

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

// Playback commands go to the controller; the rest are the window's own.
std::intptr_t CTachyPlayerDlg::OnUserCommand(std::uintptr_t code, std::intptr_t argument) {
    std::intptr_t result = 0;
    if (m_playback->HandleCommand(code, argument, result)) {
        return result;
    }
    switch (code) {
    case kExit:
        m_playback->StopAndReset();
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
        ShowAbout();
        return 0;
    case kLanguage:
        ChooseLanguage();
        return 0;
    case kSetVolume:
        ApplyVolume(static_cast<int>(argument));
        return 0;
    case kGetVolume:
        return m_Setup.volume;
    case kReopenPath: {
        const auto* path = reinterpret_cast<const char*>(argument);
        if (path != nullptr) {
            ReopenIfLoadedFrom(QString::fromUtf8(path));
        }
        return 0;
    }
    case kApplySpeed:
    case kSpeedDown:
    case kSpeedUp:
        ApplySpeed();
        return 0;
    case kZoomOut:
    case kZoomIn:
        if (m_playback->RequirePlayback()) {
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
    case kObdLog:
        OpenObdLog();
        return 0;
    case kSnapshot:
    case kPrint:
    case kBackup:
    case kDeleteChecked:
    case kExportTrack:
    case kExportVideo:
        RunExportCommand(code);
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

// Snapshot, print, backup and deletion of checked recordings, track and video export, each with
// its dialogs.
void CTachyPlayerDlg::RunExportCommand(std::uintptr_t code) {
    viewer::ExportCommands exports({*this, m_app, m_Setup, *m_playback, *m_list, [this] { return DrivingValues(); }});
    switch (code) {
    case kSnapshot:
        exports.Snapshot();
        break;
    case kPrint:
        exports.Print();
        break;
    case kBackup:
        exports.Backup();
        break;
    case kDeleteChecked:
        exports.DeleteChecked();
        break;
    case kExportTrack:
        exports.ExportTrack();
        break;
    case kExportVideo:
        exports.ExportVideo();
        break;
    default:
        break;
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

// The card dialog: OK opens the chosen card at its mount point. Its Format button pauses forward
// playback (1080), plays on when the format is not confirmed (1081) and afterwards opens the
// loaded card again when it was the one formatted (1083).
void CTachyPlayerDlg::OpenCardDialog() {
    const CExLangManager& language = m_app.Language();
    appdlg::CardDialogHooks hooks;
    hooks.pauseForFormat = [this] { return m_playback->PauseForDialog(); };
    hooks.resumeAfterCancel = [this](bool paused) { m_playback->ResumeAfterDialog(paused); };
    hooks.formatted = [this](const QString& root) {
        const QByteArray path = root.toUtf8();
        OnUserCommand(kReopenPath, reinterpret_cast<std::intptr_t>(path.constData()));
    };
    const dialogs::AskUser ask = [this, &language](const char* captionKey, const char* textKey,
                                                   const QString& text, bool withCancel) {
        return ShowKeyedText(this, language, captionKey, textKey, text, withCancel) == Answer::Ok;
    };
    appdlg::CSelectRemovableDrive dialog(language, appdlg::CardDialogOptions::ForViewer(m_app), ask,
                                         std::move(hooks), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (dialog.Drive().isEmpty()) {
        ShowKeyedMessage(this, language, "common info", "message 001");
        return;
    }
    OpenPath(dialog.Drive());
}

void CTachyPlayerDlg::OpenFormatDialog() {
    const CExLangManager& language = m_app.Language();
    const dialogs::AskUser ask = [this, &language](const char* captionKey, const char* textKey,
                                                   const QString& text, bool withCancel) {
        return ShowKeyedText(this, language, captionKey, textKey, text, withCancel) == Answer::Ok;
    };
    const bool paused = m_playback->PauseForDialog();
    appdlg::CDlgFormat dialog(language, appdlg::CardDialogOptions::ForViewer(m_app).format, ask, this);
    dialog.exec();
    const QString formatted = dialog.FormattedDrive();
    if (formatted.isEmpty() || !IsOnVolume(LoadedPath(), formatted)) {
        m_playback->ResumeAfterDialog(paused);
        return;
    }
    ReopenIfLoadedFrom(formatted);
}

// A formatted card's files are gone: the loaded list is read again from the card as it is now.
void CTachyPlayerDlg::ReopenIfLoadedFrom(const QString& root) {
    if (LoadState() != kNothingLoaded && IsOnVolume(LoadedPath(), root)) {
        OpenPath(LoadedPath());
    }
}

// The recorder's vehicle driving log on the loaded card, in its dialog.
void CTachyPlayerDlg::OpenObdLog() {
    if (m_playback->LoadState() == kNothingLoaded) {
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
    setup.start(m_app.GetPaths().executableFolder / name, {});
}

// The speed the play bar shows: its step's factor, slowed to real time for time-lapse files.
void CTachyPlayerDlg::ApplySpeed() {
    m_playback->ApplySpeed(m_playCtrl->SpeedFactor() * m_playCtrl->TimeLapseFactor());
}

void CTachyPlayerDlg::ApplyVolume(int volume) {
    m_Setup.volume = std::clamp(volume, 0, 100);
    m_playCtrl->SetVolumePosition(m_Setup.volume);
    m_sound.SetVolume(m_Setup.volume);
}

void CTachyPlayerDlg::ApplyPictureControl(bool brightness, int value) {
    (brightness ? m_Setup.brightness : m_Setup.contrast) = value;
    m_playback->SetPictureControl(brightness, value);
    for (int channel = 0; channel < 3; ++channel) {
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
    const bool playing = m_playback->LoadState() == kPlaying;
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
            m_playback->StopAndReset();
        } else if (playing) {
            m_playback->PauseOrResume();
        } else {
            m_playback->Play();
        }
        break;
    case Qt::Key_Backspace:
        m_playback->StopOrRestart();
        break;
    case Qt::Key_PageUp:
        m_playback->MoveFile(-1);
        break;
    case Qt::Key_PageDown:
        m_playback->MoveFile(1);
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
    case Qt::Key_E: // Ctrl+E "Export video", Ctrl+Shift+E "Export track"
        OnUserCommand((modifiers & Qt::ShiftModifier) != 0 ? kExportTrack : kExportVideo, 0);
        break;
    case Qt::Key_T:
        OpenTripDialog();
        break;
    case Qt::Key_I:
        m_playCtrl->StepIncident(modifiers == Qt::ShiftModifier ? -1 : 1);
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
