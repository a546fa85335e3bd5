#pragma once
// The play bar: transport buttons, speed choice, time-lapse switch, zoom, full screen, flip and
// mirror per display, the position slider with its time label, the vehicle speed and the
// volume. It never calls the engine: each action is a command to its owner (the main window),
// and the bar keeps only what the commands need (speed step, time-lapse factor, the slider's
// key-frame mapping) and shows what the owner feeds back.
//
// Threads: the feedback setters (SetNewFile, SetPosition, SetState) may be called from any
// thread. They store into a mutex-guarded mailbox and queue one call to the GUI thread, which
// applies everything pending in a fixed order (new file, state, position). Every other member
// is for the GUI thread only.

#include "viewer/playbar/KeyframeMapping.h"
#include "viewer/playbar/PlayBarFeedback.h"
#include "viewer/playbar/PlaySpeed.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

class CCtrlButtonEx;
class CCtrlImage;
class CCtrlSlider;
class CCtrlText;
class CTimeList;
struct ViewerContext;
struct _WIN_POS;

namespace tachy {
class CommandTarget;
}

namespace viewer::trip {
class DrivingScan;
struct DrivingScanResult;
} // namespace viewer::trip

namespace viewer::playbar {

class IncidentMarkStrip;

class CPlayCtrl : public QWidget {
    Q_OBJECT

public:
    // The owner's view of playback.
    static constexpr int kNothingLoaded = 0;
    static constexpr int kStopped = 1;
    static constexpr int kPlaying = 2;

    // Controls that are not commands of their own.
    static constexpr int kPositionSlider = 8480;
    static constexpr int kVolumeSlider = 8481;
    static constexpr int kFirstSpeedButton = 8482; // 0.5x; 8483 to 8485 the other steps
    static constexpr int kFirstFlipButton = 8488;  // display positions 0 to 2
    static constexpr int kFirstMirrorButton = 8492;

    // `context` and `owner` are borrowed and must outlive the bar. The volume slider starts
    // at the owner's volume (command 1073).
    CPlayCtrl(const ViewerContext& context, tachy::CommandTarget& owner, QWidget* parent = nullptr);
    ~CPlayCtrl() override;
    CPlayCtrl(const CPlayCtrl&) = delete;
    CPlayCtrl& operator=(const CPlayCtrl&) = delete;

    // Feedback, from any thread. A new entry: its frames, key frames and the entry itself.
    void SetNewFile(int frameCount, int keyframeCount, const CTimeList& entry);
    // Every front-camera frame: its position in the video stream, the vehicle speed and the
    // frame's time.
    void SetPosition(int framePosition, int vehicleSpeed, std::int64_t second, int millisecond);
    // The owner's load state (0, 1, 2); on the GUI thread it applies at once.
    void SetState(int state);

    // GUI thread: what the owner changes by other ways than these buttons.
    void ShowPlayButton(bool show);      // paused (true) or playing (false)
    void SetFullScreenShown(bool shown); // "Full" or "RestoreFromFull"
    void SetVolumePosition(int volume);
    // The speed keys act as the speed buttons do.
    void SpeedUp();
    void SpeedDown();
    // The language's texts were loaded again: fonts, tool tips and the speed unit follow.
    void OnLanguageChanged();

    // What the owner reads for the speed commands.
    double SpeedFactor() const { return m_speed.SpeedFactor(); }
    double TimeLapseFactor() const { return m_speed.TimeLapseFactor(); }
    int SpeedStep() const { return m_speed.Step(); }

    int ViewState() const { return m_viewState; }
    bool IsSwitchToggled() const { return m_switchToggled; }
    const KeyframeMapping& Mapping() const { return m_mapping; }
    QString TimeText() const;
    QString SpeedText() const;
    CCtrlButtonEx* Button(int id) const;
    CCtrlSlider* Slider(int id) const;
    const QImage& SpeedIndicatorImage() const;

    // The incident marks of the recording playing, read in the background when it starts.
    IncidentMarkStrip* IncidentMarks() const { return m_incidentMarks; }
    // Playback goes to shortly before the incident (its index among the marks), as a drag of
    // the slider would. False when nothing plays or there is no such incident.
    bool GoToIncident(int index);
    // The next (1) or previous (-1) incident from the picture shown.
    bool StepIncident(int direction);
    // How far before an incident playback starts.
    static constexpr std::int64_t kIncidentLeadMs = 3000;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Construction and layout (CPlayCtrl.cpp).
    void CreateButtons();
    void CreateSliders();
    void CreateLabels();
    const _WIN_POS* Position(const char* name) const;
    void LayOut();
    void ApplyModelVisibility();

    // The user's actions (CPlayCtrl_Actions.cpp).
    std::intptr_t Send(std::uintptr_t code, std::intptr_t argument = 0);
    void OnButton(int id);
    void OnTimeLapse();
    void OnSpeedRadio(int id);
    void OnSwitch();
    void OnSliderNotify(int message, int id, int position);
    void OnPositionSlider(int message, int position);
    void ShowSpeedStep();

    // Feedback on the GUI thread (CPlayCtrl_Feedback.cpp).
    void QueueProcessing();
    void ProcessFeedback();
    void ApplyNewFile(PlayBarFeedback::NewFile& file);
    void ApplyState(int state);
    void ApplyPosition(const PlayBarFeedback::Position& position);
    void ShowTime();

    // Incident marks (CPlayCtrl_Incidents.cpp).
    void CreateIncidentMarks();
    void ReadIncidents();
    void ForgetIncidents();
    void OnIncidentsRead(const viewer::trip::DrivingScanResult& result);
    std::int64_t EntryStartMs() const;
    std::int64_t EntryLengthMs() const;

    const ViewerContext& m_context;
    tachy::CommandTarget& m_owner;
    QImage m_background;
    std::map<int, CCtrlButtonEx*> m_buttons; // children, by command id
    std::map<int, const char*> m_placeOf;    // command id -> skin element name
    CCtrlSlider* m_positionSlider = nullptr; // child
    CCtrlSlider* m_volumeSlider = nullptr;   // child
    CCtrlImage* m_speedIndicator = nullptr;  // child
    CCtrlImage* m_volumeIcon = nullptr;      // child
    CCtrlText* m_timeLabel = nullptr;        // child
    CCtrlText* m_speedLabel = nullptr;       // child
    QImage m_timeBackgroundIdle;
    QImage m_timeBackgroundPlaying;
    QString m_speedUnit;

    // GUI thread only.
    PlaySpeed m_speed;
    KeyframeMapping m_mapping;
    int m_viewState = kNothingLoaded;
    std::optional<CTimeList> m_entry; // the entry playing; none when stopped
    std::int64_t m_entryStart = 0;
    std::int64_t m_entryEnd = 0;
    std::int64_t m_currentSecond = 0;
    int m_currentMillisecond = 0;
    int m_vehicleSpeed = 0;
    int m_framePosition = 0;
    int m_soughtKeyframe = 0;
    bool m_seeking = false; // a press of the position slider holds the picture
    bool m_switchToggled = false;
    bool m_fullScreen = false;

    PlayBarFeedback m_feedback; // shared with the feedback setters' threads

    IncidentMarkStrip* m_incidentMarks = nullptr; // child
    std::uint64_t m_incidentGeneration = 0;       // GUI thread: the entry the marks are for
    // Last: stopped (its thread joined) before the members its results reach go.
    std::unique_ptr<viewer::trip::DrivingScan> m_incidentScan;
};

} // namespace viewer::playbar
