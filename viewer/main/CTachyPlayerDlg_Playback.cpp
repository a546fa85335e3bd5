// Playback: play, pause, stop, previous and next file, deleting the current file, and the
// channel layout (main channel, flip and mirror).
#include "viewer/main/CTachyPlayerDlg.h"

#include "display/CWndDisplay.h"
#include "engine/IIntrReplayEx.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/list/CTabList.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/map/IWndMap.h"
#include "viewer/obd/CWndOBD.h"
#include "viewer/panels/CWndGSensor.h"
#include "viewer/playbar/CPlayCtrl.h"

#include <QFileInfo>
#include <filesystem>
#include <thread>

using namespace viewer;
using namespace std::chrono_literals;

namespace {

// Engine states in which play goes on after a pause: forward (2) and the steps (4 to 7).
bool resumable(int state) {
    return state == 2 || (state >= 4 && state <= 7);
}

} // namespace

void CTachyPlayerDlg::SetLoadState(int state) {
    m_loadState = state;
    m_list->SetLoadState(state);
    m_gsensor->SetState(state);
    m_playCtrl->SetState(state);
    if (state != kPlaying) {
        m_obd->ClearData();
        m_graphRecords.clear();
        m_map->StopUpdates();
        m_map->SetRoute({});
    }
    UpdatePlayingFlags();
}

void CTachyPlayerDlg::UpdatePlayingFlags() {
    const bool playing = m_loadState == kPlaying;
    for (CWndDisplayBox* box : m_boxes) {
        box->SetPlaying(playing);
        if (!playing) {
            box->update();
        }
    }
    m_fullScreen->SetPlaying(playing);
}

void CTachyPlayerDlg::Play() {
    if (m_loadState == kNothingLoaded) {
        ShowKeyedMessage(this, m_app.Language(), "common info", "message 002");
        return;
    }
    if (m_loadState == kPlaying) {
        return;
    }
    if (ListRowCount() == 0) {
        ShowKeyedMessage(this, m_app.Language(), "common info", "message 003");
        return;
    }
    for (auto& count : m_picturesShown) {
        count = 0;
    }
    // The engine asks for the selected row (callback 142) and plays from there; the list knows
    // it is playing before the engine's first question, so the row it hands out is marked.
    m_list->SetLoadState(kPlaying);
    if (m_engine->PlayForward() != 0) {
        SetLoadState(kPlaying);
        LayOut();
    } else {
        m_list->SetLoadState(m_loadState);
    }
}

void CTachyPlayerDlg::PauseOrResume() {
    if (m_loadState != kPlaying) {
        return;
    }
    const int state = m_engine->GetPlayerState();
    if (state == 2 || state == 3) {
        m_rememberedState = state;
        m_engine->Pause();
        m_playCtrl->ShowPlayButton(true);
    } else if ((state == 8 && resumable(m_rememberedState)) || (state >= 4 && state <= 7)) {
        m_engine->PlayForward();
        m_playCtrl->ShowPlayButton(false);
    }
}

// Stop, wait, clear: the engine needs its pauses between the calls.
void CTachyPlayerDlg::StopEngine() {
    std::this_thread::sleep_for(50ms);
    m_engine->Stop();
    std::this_thread::sleep_for(2ms);
    m_engine->ClearData();
    std::this_thread::sleep_for(50ms);
}

void CTachyPlayerDlg::StopPlayback() {
    if (m_loadState != kPlaying) {
        return;
    }
    StopEngine();
    m_currentListIndex = -1;
    {
        const std::lock_guard<std::mutex> guard(m_drivingLock);
        m_lastFrame = {};
        m_drivingValues = {};
        m_driving->ForgetEntry();
    }
    ListMarkNothingPlayed();
    SetLoadState(kLoaded);
    LayOut();
}

void CTachyPlayerDlg::StopAndReset() {
    if (m_loadState == kPlaying) {
        StopPlayback();
        std::this_thread::sleep_for(100ms);
    }
    m_channelCount = 2;
    LayOut();
}

void CTachyPlayerDlg::MoveFile(int step) {
    const int rows = ListRowCount();
    if (m_loadState == kLoaded && rows > 0) {
        const int row = (ListSelectedRow() + step + rows) % rows;
        ListSelectRow(row);
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
    ListSelectRow(index);
    if (resumable(remembered) || (remembered == 8 && resumable(previousRemembered))) {
        Play();
    }
}

void CTachyPlayerDlg::DeleteCurrentFile() {
    if (m_loadState == kNothingLoaded) {
        ShowKeyedMessage(this, m_app.Language(), "common info", "message 002");
        return;
    }
    const bool playing = m_loadState == kPlaying;
    const int row = playing ? m_currentListIndex.load() : ListSelectedRow();
    CTimeList entry;
    if (row < 0 || !ListEntry(row, entry)) {
        ShowKeyedMessage(this, m_app.Language(), "common info", "message 008");
        return;
    }
    const std::string path = entry.CurrentPath(0);
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    const CExLangManager& language = m_app.Language();
    const QString question = QStringLiteral("%1 %2\r\n%3")
                                 .arg(LanguageText(language, "message 006"), name,
                                      LanguageText(language, playing ? "message 007" : "message 005"));
    if (ShowMessage(this, language, LanguageText(language, "common warning"), question, true) != Answer::Ok) {
        return;
    }
    if (playing) {
        StopPlayback();
    }
    std::error_code error;
    if (!std::filesystem::remove(path, error)) {
        return;
    }
    ListRemoveEntry(row, entry);
    const int rows = ListRowCount();
    ListSelectRow(row < rows ? row : 0);
}

void CTachyPlayerDlg::RotateMainChannel() {
    const int model = m_app.Option().productId;
    const int limit = model == 5 || model == 7 ? 3 : 2;
    const int count = std::max(1, std::min(m_channelCount.load(), limit));
    m_mainChannel = (m_mainChannel + 1) % count;
    LayOut();
    m_fullScreen->SetMainChannel(m_mainChannel);
}

void CTachyPlayerDlg::ToggleTransform(int position, int bit) {
    const int count = std::max(1, m_channelCount.load());
    const int box = (position + m_mainChannel) % count;
    if (box < 0 || box > 2) {
        return;
    }
    int& transform = m_transforms[static_cast<std::size_t>(box)];
    transform ^= bit;
    m_boxes[static_cast<std::size_t>(box)]->Display()->SetVidReverse(static_cast<unsigned char>(transform));
}
