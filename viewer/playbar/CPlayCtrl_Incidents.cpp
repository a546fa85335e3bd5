// The incident marks over the position slider: the recording's driving data read in the
// background when it starts playing, the marks placed at the incidents' times, and playback
// moved to shortly before one when its mark is clicked.
#include "viewer/playbar/CPlayCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlSlider.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/playbar/IncidentMarkStrip.h"
#include "viewer/trip/DrivingScan.h"
#include "viewer/trip/TripTexts.h"

#include <QMetaObject>

#include <algorithm>

namespace viewer::playbar {

void CPlayCtrl::CreateIncidentMarks() {
    m_incidentMarks = new IncidentMarkStrip(this); // child
    connect(m_incidentMarks, &IncidentMarkStrip::markClicked, this,
            [this](int index) { GoToIncident(index); });
    // Results come on the scan's thread; the marks are set on the GUI thread.
    m_incidentScan =
        std::make_unique<viewer::trip::DrivingScan>([this](viewer::trip::DrivingScanResult result) {
            QMetaObject::invokeMethod(
                this, [this, result = std::move(result)] { OnIncidentsRead(result); },
                Qt::QueuedConnection);
        });
}

std::int64_t CPlayCtrl::EntryStartMs() const {
    if (!m_entry) {
        return 0;
    }
    return m_entry->m_llStartTime[0] != 0 ? m_entry->m_llStartTime[0]
                                          : m_entry->m_llStartSecond[0] * 1000;
}

std::int64_t CPlayCtrl::EntryLengthMs() const {
    if (!m_entry) {
        return 0;
    }
    const std::int64_t end =
        m_entry->m_llEndTime[0] != 0 ? m_entry->m_llEndTime[0] : m_entry->m_llEndSecond[0] * 1000;
    return std::max<std::int64_t>(end - EntryStartMs(), 0);
}

// The marks of the entry before are gone at once; the new entry's come when read.
void CPlayCtrl::ReadIncidents() {
    ForgetIncidents();
    if (!m_entry || m_entry->m_fileList[0].empty()) {
        return;
    }
    m_incidentScan->Queue(
        {viewer::trip::DrivingScanJob::FromEntry(*m_entry, m_incidentGeneration)});
}

void CPlayCtrl::ForgetIncidents() {
    ++m_incidentGeneration;
    if (m_incidentScan) {
        m_incidentScan->Cancel();
    }
    if (m_incidentMarks != nullptr) {
        m_incidentMarks->SetMarks({});
    }
}

void CPlayCtrl::OnIncidentsRead(const viewer::trip::DrivingScanResult& result) {
    if (result.generation != m_incidentGeneration || !m_entry || m_viewState != kPlaying) {
        return; // read for an entry that has stopped or moved on
    }
    const std::int64_t start = EntryStartMs();
    const std::int64_t length = EntryLengthMs();
    std::vector<IncidentMarkStrip::Mark> marks;
    for (const tachy::cli::Incident& incident : result.incidents) {
        IncidentMarkStrip::Mark mark;
        mark.incident = incident;
        mark.fraction = length > 0 ? std::clamp(static_cast<double>(incident.startMs - start) /
                                                    static_cast<double>(length),
                                                0.0, 1.0)
                                   : 0.0;
        mark.tip = viewer::trip::IncidentMarkTip(m_context.language, incident, start);
        marks.push_back(std::move(mark));
    }
    m_incidentMarks->SetMarks(std::move(marks));
}

// As a drag of the slider does: the picture held, the key frame at or before the moment
// decoded, the picture released (playback goes on from there if it was running).
bool CPlayCtrl::GoToIncident(int index) {
    const auto& marks = m_incidentMarks->Marks();
    if (m_viewState != kPlaying || !m_entry || index < 0 ||
        index >= static_cast<int>(marks.size())) {
        return false;
    }
    const std::int64_t start = EntryStartMs();
    const std::int64_t length = EntryLengthMs();
    const std::int64_t target =
        std::clamp(marks[static_cast<std::size_t>(index)].incident.startMs - kIncidentLeadMs, start,
                   start + length);
    const double fraction =
        length > 0 ? static_cast<double>(target - start) / static_cast<double>(length) : 0.0;
    // Key frames lie evenly over the recording, as the slider's mapping takes them.
    const int keyframes = m_mapping.KeyframeCount();
    const int keyframe =
        std::clamp(static_cast<int>(fraction * keyframes), 0, std::max(keyframes - 1, 0));
    if (Send(kHoldImage) == 1) {
        return false;
    }
    Send(kGotoTimeBegin, keyframe);
    Send(kReleaseImage);
    m_framePosition = static_cast<int>(fraction * m_mapping.FrameCount());
    m_positionSlider->SetPos(m_framePosition);
    return true;
}

bool CPlayCtrl::StepIncident(int direction) {
    const auto& marks = m_incidentMarks->Marks();
    const std::int64_t now = m_currentSecond * 1000 + m_currentMillisecond;
    if (direction > 0) {
        for (int index = 0; index < static_cast<int>(marks.size()); ++index) {
            // An incident playback was just sent to lies ahead of the picture by the lead.
            if (marks[static_cast<std::size_t>(index)].incident.startMs - kIncidentLeadMs >
                now + 500) {
                return GoToIncident(index);
            }
        }
        return false;
    }
    for (int index = static_cast<int>(marks.size()) - 1; index >= 0; --index) {
        if (marks[static_cast<std::size_t>(index)].incident.startMs - kIncidentLeadMs <
            now - 1500) {
            return GoToIncident(index);
        }
    }
    return false;
}

} // namespace viewer::playbar
