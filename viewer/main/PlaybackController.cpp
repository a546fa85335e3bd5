#include "viewer/main/PlaybackController.h"

#include "engine/IIntrReplayEx.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/exports/RecordingDeleter.h"

#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <thread>

using namespace std::chrono_literals;

namespace viewer {

namespace {

// Engine states in which play goes on after a pause: forward (2) and the steps (4 to 7).
bool resumable(int state) {
    return state == 2 || (state >= 4 && state <= 7);
}

} // namespace

PlaybackController::PlaybackController(PlaybackView& view)
    : m_view(view), m_loadState(kNothingLoaded) {}

PlaybackController::~PlaybackController() {
    ReleaseEngine();
}

void PlaybackController::AttachEngine(std::unique_ptr<IIntrReplayEx> engine) {
    m_engine = std::move(engine);
}

void PlaybackController::ReleaseEngine() {
    if (m_engine) {
        m_engine->Stop();
        m_engine->Release();
        m_engine.reset();
    }
}

bool PlaybackController::HandleCommand(std::uintptr_t code, std::intptr_t argument,
                                       std::intptr_t& result) {
    result = 0;
    switch (code) {
    case kHoldImage:
        result = m_engine->HoldCurrentImage() == 0 ? 1 : 0;
        return true;
    case kReleaseImage:
        m_engine->ReleaseCurrentImage();
        return true;
    case kGotoTime:
        result = m_engine->GotoTimeSearch(static_cast<int>(argument));
        return true;
    case kGotoTimeBegin:
        result = m_engine->GotoTimeSearchBegin(static_cast<int>(argument));
        return true;
    case kEngineStateAndPause: {
        const int state = m_engine->GetPlayerState();
        if (state == 2) {
            m_engine->Pause();
        }
        result = state;
        return true;
    }
    case kPlayArgument:
        if (argument == 2) {
            Play();
        }
        return true;
    case kStopAndReset:
    case kListAll:
        StopAndReset();
        return true;
    case kPreviousFile:
        MoveFile(-1);
        return true;
    case kNextFile:
        // The play bar shows its pause button when playback went on into the next file.
        MoveFile(1);
        result = m_loadState == kPlaying ? 1 : 0;
        return true;
    case kStepBackwardKey:
    case kStepForwardKey:
    case kStepForward:
        if (!RequirePlayback()) {
            return true;
        }
        if (code == kStepBackwardKey) {
            result = m_engine->StepBackwardKeyframe(-1);
        } else if (code == kStepForwardKey) {
            result = m_engine->StepForwardKeyframe(-1);
        } else {
            result = m_engine->StepForward(-1);
        }
        return true;
    case kPlay:
        result = PlayOrResume();
        return true;
    case kPause:
        PauseOrResume();
        return true;
    case kDeleteCurrent:
        DeleteCurrentFile();
        return true;
    case kFlip:
        ToggleTransform(static_cast<int>(argument), 1);
        return true;
    case kMirror:
        ToggleTransform(static_cast<int>(argument), 2);
        return true;
    case kListActivate:
        if (argument == 0) {
            if (m_loadState == kPlaying) {
                StopPlayback();
            }
            Play();
        }
        return true;
    default:
        return false;
    }
}

void PlaybackController::SetLoadState(int state) {
    m_loadState = state;
    m_view.LoadStateChanged(state);
}

QString PlaybackController::LoadedPath() const {
    const std::lock_guard<std::mutex> guard(m_pathLock);
    return m_loadedPath;
}

void PlaybackController::SetLoadedPath(const QString& path) {
    const std::lock_guard<std::mutex> guard(m_pathLock);
    m_loadedPath = path;
}

void PlaybackController::Play() {
    if (m_loadState == kNothingLoaded) {
        m_view.ShowInfo("message 002");
        return;
    }
    if (m_loadState == kPlaying) {
        return;
    }
    if (m_view.ListRowCount() == 0) {
        m_view.ShowInfo("message 003");
        return;
    }
    for (auto& count : m_picturesShown) {
        count = 0;
    }
    // The engine asks for the selected row (callback 142) and plays from there; the list knows
    // it is playing before the engine's first question, so the row it hands out is marked.
    m_view.ListSetLoadState(kPlaying);
    if (m_engine->PlayForward() != 0) {
        SetLoadState(kPlaying);
        m_view.LayOutBoxes();
    } else {
        m_view.ListSetLoadState(m_loadState);
    }
}

void PlaybackController::PauseOrResume() {
    if (m_loadState != kPlaying) {
        return;
    }
    const int state = m_engine->GetPlayerState();
    if (state == 2 || state == 3) {
        m_rememberedState = state;
        m_engine->Pause();
        m_view.ShowPlayButton(true);
    } else if ((state == 8 && resumable(m_rememberedState)) || (state >= 4 && state <= 7)) {
        m_engine->PlayForward();
        m_view.ShowPlayButton(false);
    }
}

std::intptr_t PlaybackController::PlayOrResume() {
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

// Stop, wait, clear: the engine needs its pauses between the calls.
void PlaybackController::StopEngine() {
    std::this_thread::sleep_for(50ms);
    m_engine->Stop();
    std::this_thread::sleep_for(2ms);
    m_engine->ClearData();
    std::this_thread::sleep_for(50ms);
}

void PlaybackController::StopPlayback() {
    if (m_loadState != kPlaying) {
        return;
    }
    StopEngine();
    m_currentListIndex = -1;
    m_view.ForgetPlayedEntry(true);
    m_view.ListMarkNothingPlayed();
    SetLoadState(kLoaded);
    m_view.LayOutBoxes();
}

void PlaybackController::StopAndReset() {
    if (m_loadState == kPlaying) {
        StopPlayback();
        std::this_thread::sleep_for(100ms);
    }
    m_channelCount = 2;
    m_view.LayOutBoxes();
}

void PlaybackController::StopOrRestart() {
    if (m_loadState != kPlaying) {
        return;
    }
    if (m_engine->GetPlayerState() == 2) {
        StopPlayback();
        Play();
    } else {
        StopPlayback();
    }
}

void PlaybackController::PrepareForOpen() {
    if (m_loadState == kPlaying) {
        SetLoadState(kLoaded);
        m_engine->Stop();
        std::this_thread::sleep_for(2ms);
        m_engine->ClearData();
        m_currentListIndex = -1;
        m_view.ListMarkNothingPlayed();
    }
    m_channelCount = 2;
    m_view.LayOutBoxes();
    m_view.ForgetPlayedEntry(false);
}

void PlaybackController::MoveFile(int step) {
    const int rows = m_view.ListRowCount();
    if (m_loadState == kLoaded && rows > 0) {
        const int row = (m_view.ListSelectedRow() + step + rows) % rows;
        m_view.ListSelectRow(row);
        return;
    }
    if (m_loadState != kPlaying) {
        return;
    }
    const int remembered = m_engine->GetPlayerState();
    const int previousRemembered = m_rememberedState;
    const int index = m_currentListIndex + step;
    StopPlayback();
    if (index < 0 || index >= rows) {
        return;
    }
    m_view.ListSelectRow(index);
    if (resumable(remembered) || (remembered == 8 && resumable(previousRemembered))) {
        Play();
    }
}

void PlaybackController::DeleteCurrentFile() {
    if (m_loadState == kNothingLoaded) {
        m_view.ShowInfo("message 002");
        return;
    }
    const bool playing = m_loadState == kPlaying;
    const int row = playing ? m_currentListIndex.load() : m_view.ListSelectedRow();
    CTimeList entry;
    if (row < 0 || !m_view.ListEntry(row, entry)) {
        m_view.ShowInfo("message 008");
        return;
    }
    const std::string path = entry.CurrentPath(0);
    if (!m_view.ConfirmDelete(QFileInfo(QString::fromStdString(path)).fileName(), playing)) {
        return;
    }
    if (playing) {
        StopPlayback();
    }
    // Every camera's file of the recording goes: a rear file left behind would come back as a
    // recording of its own. The row stays while any of them could not be deleted.
    const std::atomic<bool> cancel{false};
    const tachy::viewer::DeleteResult result = tachy::viewer::RecordingDeleter().Delete({entry}, cancel);
    if (!result.failed.empty() || result.deletedFiles == 0) {
        return;
    }
    m_view.ListRemoveEntry(row, entry);
    const int rows = m_view.ListRowCount();
    m_view.ListSelectRow(row < rows ? row : 0);
}

bool PlaybackController::PauseForDialog() {
    if (m_loadState != kPlaying || m_engine->GetPlayerState() != 2) {
        return false;
    }
    m_rememberedState = 2;
    m_engine->Pause();
    m_view.ShowPlayButton(true);
    return true;
}

// Playback goes on only when the dialog found it running and nothing stopped or paused it since.
void PlaybackController::ResumeAfterDialog(bool paused) {
    if (!paused || m_loadState != kPlaying || m_engine->GetPlayerState() != 8) {
        return;
    }
    m_engine->PlayForward();
    m_view.ShowPlayButton(false);
}

bool PlaybackController::RequirePlayback() {
    if (m_loadState == kPlaying) {
        return true;
    }
    m_view.ShowInfo("message 004");
    return false;
}

void PlaybackController::RotateMainChannel(int channelLimit) {
    const int count = std::max(1, std::min(m_channelCount.load(), channelLimit));
    m_mainChannel = (m_mainChannel + 1) % count;
    m_view.LayOutBoxes();
    m_view.MainChannelChanged(m_mainChannel);
}

void PlaybackController::ToggleTransform(int position, int bit) {
    const int count = std::max(1, m_channelCount.load());
    const int box = (position + m_mainChannel) % count;
    if (box < 0 || box > 2) {
        return;
    }
    int& transform = m_transforms[static_cast<std::size_t>(box)];
    transform ^= bit;
    m_view.SetBoxTransform(box, transform);
}

void PlaybackController::ApplySpeed(double speed) {
    m_appliedSpeed = speed;
    m_engine->SetPBSpeed(m_appliedSpeed);
}

void PlaybackController::SetPictureControl(bool brightness, int value) {
    for (int channel = 0; channel < 3; ++channel) {
        if (brightness) {
            m_engine->SetBrightness(channel, value);
        } else {
            m_engine->SetContrast(channel, value);
        }
    }
}

} // namespace viewer
