// The window as the playback controller's view: its messages, and the widgets that follow the
// load state and the channel layout.
#include "viewer/main/CTachyPlayerDlg.h"

#include "display/CWndDisplay.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/list/CTabList.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/map/IWndMap.h"
#include "viewer/obd/CWndOBD.h"
#include "viewer/panels/CWndGSensor.h"
#include "viewer/playbar/CPlayCtrl.h"

using namespace viewer;

void CTachyPlayerDlg::ShowInfo(const char* key) {
    ShowKeyedMessage(this, m_app.Language(), "common info", key);
}

bool CTachyPlayerDlg::ConfirmDelete(const QString& fileName, bool playing) {
    const CExLangManager& language = m_app.Language();
    const QString question = QStringLiteral("%1 %2\r\n%3")
                                 .arg(LanguageText(language, "message 006"), fileName,
                                      LanguageText(language, playing ? "message 007" : "message 005"));
    return ShowMessage(this, language, LanguageText(language, "common warning"), question, true) == Answer::Ok;
}

void CTachyPlayerDlg::ListSetLoadState(int state) {
    m_list->SetLoadState(state);
}

void CTachyPlayerDlg::LoadStateChanged(int state) {
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
    const bool playing = m_playback->LoadState() == kPlaying;
    for (CWndDisplayBox* box : m_boxes) {
        box->SetPlaying(playing);
        if (!playing) {
            box->update();
        }
    }
    m_fullScreen->SetPlaying(playing);
}

void CTachyPlayerDlg::LayOutBoxes() {
    LayOut();
}

void CTachyPlayerDlg::MainChannelChanged(int channel) {
    m_fullScreen->SetMainChannel(channel);
}

void CTachyPlayerDlg::SetBoxTransform(int box, int transform) {
    m_boxes[static_cast<std::size_t>(box)]->Display()->SetVidReverse(static_cast<unsigned char>(transform));
}

void CTachyPlayerDlg::ShowPlayButton(bool show) {
    m_playCtrl->ShowPlayButton(show);
}

void CTachyPlayerDlg::ForgetPlayedEntry(bool lastFrameToo) {
    m_driving.ForgetEntry(lastFrameToo);
}

// Up to three cameras take turns as the main one on models 5 and 7, two on the others.
void CTachyPlayerDlg::RotateMainChannel() {
    const int model = m_app.Option().productId;
    m_playback->RotateMainChannel(model == 5 || model == 7 ? 3 : 2);
}
