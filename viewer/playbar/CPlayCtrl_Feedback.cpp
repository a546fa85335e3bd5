// What the owner feeds back to the play bar: new entries, positions and its load state, taken
// over from the engine's threads by one queued call at a time.
#include "viewer/playbar/CPlayCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSlider.h"
#include "skinctl/CCtrlText.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/playbar/PlayBarText.h"

#include <QMetaObject>
#include <QThread>

namespace viewer::playbar {

void CPlayCtrl::SetNewFile(int frameCount, int keyframeCount, const CTimeList& entry) {
    if (m_feedback.PostNewFile({frameCount, keyframeCount, entry})) {
        QueueProcessing();
    }
}

void CPlayCtrl::SetPosition(int framePosition, int vehicleSpeed, std::int64_t second,
                            int millisecond) {
    if (m_feedback.PostPosition({framePosition, vehicleSpeed, second, millisecond})) {
        QueueProcessing();
    }
}

void CPlayCtrl::SetState(int state) {
    if (QThread::currentThread() == thread()) {
        // Whatever the engine sent before a stop belongs to the entry that stopped.
        if (state != kPlaying) {
            m_feedback.DiscardPlayback();
        }
        ApplyState(state);
        return;
    }
    if (m_feedback.PostState(state)) {
        QueueProcessing();
    }
}

void CPlayCtrl::QueueProcessing() {
    QMetaObject::invokeMethod(this, [this] { ProcessFeedback(); }, Qt::QueuedConnection);
}

// In the order new file, state, position: a position always refers to the file and state
// applied before it. Files and positions arriving while nothing plays are stale and dropped.
void CPlayCtrl::ProcessFeedback() {
    PlayBarFeedback::Pending pending = m_feedback.Take();
    if ((pending.flags & PlayBarFeedback::kNewFile) != 0 && m_viewState == kPlaying) {
        ApplyNewFile(pending.file);
    }
    if ((pending.flags & PlayBarFeedback::kState) != 0) {
        ApplyState(pending.state);
    }
    if ((pending.flags & PlayBarFeedback::kPosition) != 0 && m_viewState == kPlaying) {
        ApplyPosition(pending.position);
    }
}

void CPlayCtrl::ApplyNewFile(PlayBarFeedback::NewFile& file) {
    m_mapping.SetFile(file.frameCount, file.keyframeCount);
    m_entry = std::move(file.entry);
    m_entryStart = m_entry ? m_entry->m_llStartSecond[0] : 0;
    m_entryEnd = m_entry ? m_entry->m_llEndSecond[0] : 0;
    m_positionSlider->SetRange(0, m_mapping.FrameCount());
    m_positionSlider->SetPos(0);
    m_framePosition = 0;
    m_soughtKeyframe = 0;
    ReadIncidents();
    // A new entry starts with the front camera first again.
    if (m_entry && m_entry->m_nChannelCount != 1 && m_switchToggled) {
        Send(kRotateMain);
        m_switchToggled = false;
    }
}

void CPlayCtrl::ApplyState(int state) {
    m_viewState = state;
    const bool playing = state == kPlaying;
    m_positionSlider->setEnabled(playing);
    ShowPlayButton(!playing);
    if (playing) {
        return;
    }
    m_positionSlider->SetPos(0);
    m_seeking = false;
    m_entry.reset();
    ForgetIncidents();
    m_entryStart = m_entryEnd = m_currentSecond = 0;
    m_currentMillisecond = m_vehicleSpeed = m_framePosition = 0;
    m_timeLabel->SetBackground(m_timeBackgroundIdle);
    m_timeLabel->SetText(QString::fromLatin1(kNoPlayTime));
    m_speedLabel->SetText(VehicleSpeedText(0, m_speedUnit));
}

void CPlayCtrl::ApplyPosition(const PlayBarFeedback::Position& position) {
    m_framePosition = position.framePosition;
    m_vehicleSpeed = position.vehicleSpeed;
    m_currentSecond = position.second;
    m_currentMillisecond = position.millisecond;
    // The thumb stays under the mouse while the user drags it.
    if (!m_positionSlider->IsDragging()) {
        m_positionSlider->SetPos(m_framePosition);
    }
    ShowTime();
    m_speedLabel->SetText(VehicleSpeedText(m_vehicleSpeed, m_speedUnit));
}

void CPlayCtrl::ShowTime() {
    m_timeLabel->SetBackground(m_timeBackgroundPlaying);
    m_timeLabel->SetText(PlayTimeText(m_entryStart, m_entryEnd, m_currentSecond,
                                      m_currentMillisecond, m_speed.TimeLapseFactor()));
}

} // namespace viewer::playbar
