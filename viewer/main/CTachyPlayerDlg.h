#pragma once
// The viewer's main window: a borderless skinned window that owns the display boxes, the
// full-screen window and the side panel and lays them out; forwards buttons, keys and
// child-window commands to the playback controller (which owns the replay engine and the load
// state); and hands the engine's pictures, sound and driving data, as the engine-event router
// sorts them, to the displays, the sound feed and the panels. The card watch has the card read
// again when the settings program changed it.
//
// Threads: engine callbacks arrive on engine threads. Pictures go straight to the displays
// (they take their own lock), sound to the sound feed (likewise), and questions are answered
// from the controller's atomics and under its lock; every widget change is queued to the GUI
// thread.

#include "engine/CTimeList.h"
#include "engine/EngineRecords.h"
#include "platform/bus/CommandTarget.h"
#include "viewer/app/CTachyPlayerSetup.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/main/CardWatch.h"
#include "viewer/main/DrivingFeed.h"
#include "viewer/main/EngineEventRouter.h"
#include "viewer/main/EngineEvents.h"
#include "viewer/main/PlaybackController.h"
#include "viewer/main/PlaybackView.h"
#include "viewer/main/SoundFeed.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class CCtrlButtonEx;
class CFullScreen;
class CTachyPlayerApp;
class CTabList;
class CWndDisplayBox;
class CWndFunc;
class CWndOBD;
namespace viewer {
class ViewerKeyboard;
}
namespace viewer::panels {
class CWndGSensor;
}
namespace viewer::map {
class IWndMap;
}
namespace viewer::playbar {
class CPlayCtrl;
class CWndVideoCtrl;
}
namespace viewer::trip {
class CTripDialog;
}
class IIntrReplayEx;
class QLabel;

namespace tachy {
class NamedEvent;
}

class CTachyPlayerDlg : public QWidget,
                        public tachy::CommandTarget,
                        private viewer::PlaybackView,
                        private viewer::EngineEvents {
public:
    explicit CTachyPlayerDlg(CTachyPlayerApp& app);
    ~CTachyPlayerDlg() override;
    CTachyPlayerDlg(const CTachyPlayerDlg&) = delete;
    CTachyPlayerDlg& operator=(const CTachyPlayerDlg&) = delete;

    // Builds the children, binds the engine and the sound output; false when the window cannot
    // work (no display box, no background image).
    bool Initialize();

    std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t argument) override;

    // Opens a card or folder with the loading dialog; true when recordings were found.
    bool OpenPath(const QString& path);
    void Play() { m_playback->Play(); }
    void PauseOrResume() { m_playback->PauseOrResume(); }
    void StopPlayback() { m_playback->StopPlayback(); }
    // The card-watch's decision: whether a signal from the settings program reloads the path.
    bool ShouldReloadOnSignal() const { return m_cardWatch->ShouldReload(); }

    int LoadState() const { return m_playback->LoadState(); }
    QString LoadedPath() const { return m_playback->LoadedPath(); }
    int ChannelCount() const { return m_playback->ChannelCount(); }
    bool IsFullScreenShown() const { return m_isFullScreen; }
    int MainChannel() const { return m_playback->MainChannel(); }
    IIntrReplayEx* Engine() const { return m_playback->Engine(); }
    CWndDisplayBox* Box(int index) const { return m_boxes[static_cast<std::size_t>(index)]; }
    CTabList* List() const { return m_list; }
    viewer::panels::CWndGSensor* Graph() const { return m_gsensor; }
    CWndOBD* Obd() const { return m_obd; }
    viewer::map::IWndMap* Map() const { return m_map; }
    CWndFunc* Func() const { return m_func; }
    viewer::playbar::CPlayCtrl* PlayCtrl() const { return m_playCtrl; }
    viewer::playbar::CWndVideoCtrl* VideoCtrl() const { return m_videoCtrl; }
    // The trip figures of the recording playing and of the card (key T), null until opened.
    viewer::trip::CTripDialog* TripDialog() const { return m_tripDialog.get(); }
    void OpenTripDialog();
    // The speed last handed to the engine (speed factor times time-lapse factor).
    double AppliedSpeed() const { return m_playback->AppliedSpeed(); }
    CTachyPlayerSetup& Setup() { return m_Setup; }
    // Successful opens so far (for scripts and tests).
    int OpenCount() const { return m_openCount; }
    // Pictures shown per channel since the last play (for scripts and tests).
    int PicturesShown(int channel) const { return m_playback->PicturesShown(channel); }
    // The driving values of the last front picture (speed, position, G-sensor).
    viewer::driving::FrameDrivingValues DrivingValues() const { return m_driving.Values(); }
    // The frame record of the last front picture, with its driving record filled in.
    _FRAME_INFO LastFrame() const { return m_driving.LastFrame(); }
    // For tests: whether a path counts as a drive root (the card watch reloads only those).
    void SetDriveRootTest(bool (*isDriveRoot)(const QString&)) { m_cardWatch->SetDriveRootTest(isDriveRoot); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // One key of the viewer's keyboard table, whichever control had the focus.
    void HandleKey(int key, Qt::KeyboardModifiers modifiers);
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Construction of the parts (CTachyPlayerDlg.cpp).
    void RunWizardWhenNeeded();
    bool CreateChildren();
    void CreateToolbar();
    CCtrlButtonEx* MakeButton(const char* position, const char* images, std::uintptr_t commandId, const char* tip);
    void BindEngine();
    void LayOut();
    void LayOutVideo(double scale, int designWidth);
    void LayOutFullScreenBar();
    QRect ElementRect(const char* name, double scale, int designWidth) const;
    void ComposeBackground();
    void ToggleMaximised();
    void ToggleFullScreen();
    void Shutdown();

    // Commands (CTachyPlayerDlg_Commands.cpp).
    std::intptr_t OnUserCommand(std::uintptr_t code, std::intptr_t argument);
    void OpenFolderDialog();
    void OpenCardDialog();
    // The About box's Format button: the format dialog, playback paused while it is open.
    void OpenFormatDialog();
    // Opens the loaded card again when it lies on the volume at root (after a format).
    void ReopenIfLoadedFrom(const QString& root);
    void StartSetupProgram();
    void ApplyVolume(int volume);
    void ApplyPictureControl(bool brightness, int value);
    void ZoomBoxes(bool in);
    void ApplySpeed();
    void RotateMainChannel();

    // The About box and the language change (CTachyPlayerDlg_Language.cpp).
    void ShowAbout();
    void ChooseLanguage();
    void ApplyLanguage();
    void ApplyToolbarTips();
    void RunExportCommand(std::uintptr_t code);

    // The view the playback controller drives (CTachyPlayerDlg_Playback.cpp).
    void ShowInfo(const char* key) override;
    bool ConfirmDelete(const QString& fileName, bool playing) override;
    void ListSetLoadState(int state) override;
    void LoadStateChanged(int state) override;
    void LayOutBoxes() override;
    void MainChannelChanged(int channel) override;
    void SetBoxTransform(int box, int transform) override;
    void ShowPlayButton(bool show) override;
    void ForgetPlayedEntry(bool lastFrameToo) override;
    void UpdatePlayingFlags();

    // Engine events, on engine threads (CTachyPlayerDlg_Engine.cpp).
    void OnListEvent(unsigned code, std::intptr_t param, void* payload) override;
    void OnPlaybackStopped() override;
    void OnPlayEnd() override;
    void OnFrameInfo(_FRAME_INFO& frame) override;
    void OnPicture(const _PICTURE_INFO& picture) override;
    void OnNoPicture(int channel) override;
    void OnSoundBlock(_AUDIO_BLOCK& block) override;
    int SoundCanTakeMore() override;
    void OnSoundEnd() override;
    void OnUnreadableFile(const char* file) override;
    void RunRecoveryTool(const char* file);
    void HandEntryToPanels();
    void MoveGraphCursor(int recordIndex, int framePosition);
    void OpenObdLog();
    void CreateMap();
    bool MapOffered() const;
    static void MapStatus(int status, int online, int reserved, void* user);

    // The recording list (CTachyPlayerDlg_List.cpp).
    void ListCallback(unsigned code, std::intptr_t param, void* payload);
    bool ListEntry(int row, CTimeList& entry) override;
    int ListRowCount() const override;
    int ListSelectedRow() const override;
    void ListSelectRow(int row) override;
    void ListMarkNothingPlayed() override;
    void ListRemoveEntry(int row, const CTimeList& entry) override;

    // Opening and the workers (CTachyPlayerDlg_Open.cpp).
    bool OpenPathNow(const QString& path);
    bool RunLoading(const QString& path);
    void AfterOpen(bool success, const QString& path);
    void CheckNewestFiles();
    void ReloadAfterCardChange();

    CTachyPlayerApp& m_app;
    CTachyPlayerSetup m_Setup;
    // Sorts the engine's callbacks to this window's handlers; outlives the engine.
    std::unique_ptr<viewer::EngineEventRouter> m_engineEvents;
    // The load state, its commands and the engine (created by BindEngine).
    std::unique_ptr<viewer::PlaybackController> m_playback;
    viewer::SoundFeed m_sound;  // takes its own lock
    std::array<CWndDisplayBox*, 3> m_boxes{};  // children
    CFullScreen* m_fullScreen = nullptr;        // child window
    viewer::ViewerKeyboard* m_keyboard = nullptr;  // owned by this window (QObject child)
    CWndFunc* m_func = nullptr;                 // child
    CTabList* m_list = nullptr;                 // a page of m_func
    viewer::panels::CWndGSensor* m_gsensor = nullptr;  // child
    CWndOBD* m_obd = nullptr;                           // a page of m_func
    viewer::map::IWndMap* m_map = nullptr;              // a page of m_func
    viewer::playbar::CPlayCtrl* m_playCtrl = nullptr;      // child
    viewer::playbar::CWndVideoCtrl* m_videoCtrl = nullptr; // child
    // GUI thread: the graph's own copy of the current entry's records.
    std::vector<viewer::driving::DrivingDataRecord> m_graphRecords;
    std::atomic<int> m_pendingCursor{0};
    std::atomic<int> m_pendingPosition{0};
    std::atomic<bool> m_cursorQueued{false};
    std::vector<CCtrlButtonEx*> m_buttons;      // children
    CCtrlButtonEx* m_maxButton = nullptr;
    CCtrlButtonEx* m_restoreButton = nullptr;
    QImage m_background;

    bool m_maximised = false;       // GUI thread
    std::atomic<bool> m_isFullScreen{false};
    QRect m_normalGeometry;
    QRect m_beforeFullScreen;  // the window's place before full screen
    QPoint m_dragOffset;
    bool m_dragging = false;

    viewer::DrivingFeed m_driving;  // takes its own lock

    std::unique_ptr<tachy::NamedEvent> m_setupEvent;   // "IPC_SHARED_EVT_SETUP"
    // Runs the format dialog from the About box; empty until the card dialogs provide one.
    bool m_opening = false;  // GUI thread: a load is under way
    bool m_shutDown = false;
    std::atomic<int> m_openCount{0};
    std::unique_ptr<viewer::trip::CTripDialog> m_tripDialog;  // a window of its own
    // Declared last: its thread reads the playback controller and ends before it.
    std::unique_ptr<viewer::CardWatch> m_cardWatch;
};
