// The engine's side of the main window: binding, and what the window does with each kind of
// callback the router hands it. Callbacks come on engine threads; widget work is queued to the
// GUI thread.
#include "viewer/main/CTachyPlayerDlg.h"

#include "display/CWndDisplay.h"
#include "engine/IIntrReplayEx.h"
#include "picturedec/IVideoDecoder.h"
#include "platform/debug/DebugOut.h"
#include "platform/process/Process.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/boxes/CWndDisplayBox.h"
#include "viewer/map/IWndMap.h"
#include "viewer/map/MapScript.h"
#include "viewer/obd/CWndOBD.h"
#include "viewer/panels/CWndGSensor.h"
#include "viewer/playbar/CPlayCtrl.h"

#include <QMetaObject>
#include <algorithm>

using namespace viewer;
using namespace std::chrono_literals;

namespace {

constexpr int kRecoveryWaitMs = 10000;

} // namespace

void CTachyPlayerDlg::BindEngine() {
    m_playback->AttachEngine(IIntrReplayEx::Create());
    IIntrReplayEx& engine = *m_playback->Engine();
    engine.Initialize(this, IVideoDecoder::kFormatYuv);
    engine.EnableRecovery(0);
    // Every repair, rename, refusal and deletion the engine makes is written to the log folder.
    engine.SetLogPath(m_app.GetPaths().logFolder.string());
    m_engineEvents->Bind(engine);
    engine.SetColorControlMode(m_Setup.colorMode);
    for (int channel = 0; channel < 3; ++channel) {
        engine.SetBrightness(channel, m_Setup.brightness);
        engine.SetContrast(channel, m_Setup.contrast);
        engine.SetSaturation(channel, 50);
        engine.SetSharpeness(channel, 0);
        engine.SetBlur(channel, 0);
        CWndDisplay* display = m_boxes[static_cast<std::size_t>(channel)]->Display();
        display->SetBrightness(50);
        display->SetContrast(50);
        display->SetSaturation(50);
        display->SetZoomMode(m_Setup.nZoomMode);
        display->SetZoomOption(-m_Setup.zoomCtrl);
        display->SetDispZoomPIP(m_Setup.pipShow, m_Setup.pipPos);
    }
    engine.SetPBSpeedOption(0);
    engine.SetPBSpeed(1.0);
    m_sound.Open(this, m_Setup.volume, m_Setup.mute);
}

void CTachyPlayerDlg::OnListEvent(unsigned code, std::intptr_t param, void* payload) {
    ListCallback(code, param, payload);
}

// The map stops following the car.
void CTachyPlayerDlg::OnPlaybackStopped() {
    QMetaObject::invokeMethod(this, [this] { m_map->StopUpdates(); }, Qt::QueuedConnection);
}

// The stop runs on the GUI thread.
void CTachyPlayerDlg::OnPlayEnd() {
    QMetaObject::invokeMethod(this, [this] { StopPlayback(); }, Qt::QueuedConnection);
}

void CTachyPlayerDlg::OnSoundEnd() {
    m_sound.Stop();
}

void CTachyPlayerDlg::OnUnreadableFile(const char* file) {
    RunRecoveryTool(file);
}

void CTachyPlayerDlg::OnPicture(const _PICTURE_INFO& picture) {
    const int channel = picture.nChannel;
    if (channel < 0 || channel > 2) {
        return;
    }
    const unsigned char* planes[3] = {reinterpret_cast<const unsigned char*>(picture.avData0to2[0]),
                                      reinterpret_cast<const unsigned char*>(picture.avData0to2[1]),
                                      reinterpret_cast<const unsigned char*>(picture.avData0to2[2])};
    const int strides[3] = {static_cast<int>(picture.avData8to15[0]), static_cast<int>(picture.avData8to15[1]),
                            static_cast<int>(picture.avData8to15[2])};
    CWndDisplay* display = m_boxes[static_cast<std::size_t>(channel)]->Display();
    if (m_isFullScreen && channel == m_playback->MainChannel()) {
        display = m_fullScreen->Display();
    }
    const int format = planes[0] != nullptr ? 6 : 4;
    const int shown = planes[0] != nullptr
                          ? display->SetVidStream(0, planes, picture.nWidth, picture.nHeight, 0, format, strides)
                          : display->SetVidStream(0, picture.picture, picture.nWidth, picture.nHeight, 0, 4);
    if (shown == 0) {
        tachy::DebugOut::write("error in DisplayVideoStream\n");
        return;
    }
    m_playback->CountPicture(channel);
}

void CTachyPlayerDlg::OnNoPicture(int channel) {
    if (channel < 0 || channel > 2) {
        return;
    }
    m_boxes[static_cast<std::size_t>(channel)]->Display()->UpdateScreen(1);
}

void CTachyPlayerDlg::OnSoundBlock(_AUDIO_BLOCK& block) {
    m_sound.Feed(block);
}

int CTachyPlayerDlg::SoundCanTakeMore() {
    return m_sound.CanTakeMore();
}

void CTachyPlayerDlg::OnFrameInfo(_FRAME_INFO& frame) {
    if (frame.nChannel != 0) {
        return;
    }
    const int index = frame.fileInfo.nListIndex;
    m_playback->SetCurrentListIndex(index);
    const DrivingFeed::Step step = m_driving.OnFrame(frame);
    const viewer::driving::FrameDrivingValues& values = step.values;
    if (step.newEntry) {
        CTimeList entry;
        const bool listed = ListEntry(index, entry);
        if (listed && entry.m_nChannelCount > 0 && entry.m_nChannelCount != m_playback->ChannelCount()) {
            m_playback->SetChannelCount(std::min(entry.m_nChannelCount, 3));
            QMetaObject::invokeMethod(this, [this] { LayOut(); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(this, [this] { HandEntryToPanels(); }, Qt::QueuedConnection);
        if (!listed) {  // the list changed meanwhile: the worker's own times serve
            entry.m_llStartSecond[0] = frame.fileInfo.llStartSecond;
            entry.m_llEndSecond[0] = frame.fileInfo.llEndSecond;
        }
        // The play bar maps its slider over the key frames the worker can still seek to.
        m_playCtrl->SetNewFile(frame.fileInfo.nFrames, frame.fileInfo.nKeyframesLeft, entry);
    }
    if (values.map) {
        m_map->SetPosition(values.map->latitude, values.map->longitude, values.map->speedKnots);
    }
    // The play bar takes it over on the GUI thread (its setters only store and queue).
    m_playCtrl->SetPosition(values.framePosition, values.speedKmh, values.second, values.millisecond);
    MoveGraphCursor(values.gSensorCursor, values.framePosition);
}

// A new entry's driving data for the graph: a copy the GUI thread owns, taken under the lock.
void CTachyPlayerDlg::HandEntryToPanels() {
    const int frames = m_driving.CopyRecords(m_graphRecords);
    if (m_playback->LoadState() == kPlaying) {
        m_gsensor->SetData(m_graphRecords, static_cast<int>(m_graphRecords.size()), frames);
        m_obd->SetData(m_graphRecords, frames);
        m_map->SetRoute(viewer::map::RouteFromRecords(m_graphRecords));
    }
}

// The graph's cursor and the vehicle values follow every front picture; a move still queued is
// overtaken by the next one.
void CTachyPlayerDlg::MoveGraphCursor(int recordIndex, int framePosition) {
    m_pendingCursor = recordIndex;
    m_pendingPosition = framePosition;
    if (m_cursorQueued.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_cursorQueued = false;
            if (m_playback->LoadState() == kPlaying) {
                m_gsensor->SetCursor(m_pendingCursor);
                m_obd->SetPosition(m_pendingPosition);
                if (m_map->IsUpdating() == 0) {
                    m_map->StartUpdates();
                }
            }
        },
        Qt::QueuedConnection);
}

// A stream file the engine cannot read goes to the recovery tool, when it is installed.
void CTachyPlayerDlg::RunRecoveryTool(const char* file) {
    const std::filesystem::path tool = m_app.GetPaths().executableFolder / "ffrecovery";
    if (file == nullptr || !std::filesystem::exists(tool)) {
        return;
    }
    std::string path = file;
    std::replace(path.begin(), path.end(), '\\', '/');
    tachy::Process recovery;
    if (recovery.start(tool, {path})) {
        recovery.wait(std::chrono::milliseconds(kRecoveryWaitMs));
    }
}
