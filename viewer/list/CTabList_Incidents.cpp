// The list page's incident marks: after a load every recording's driving data is read on the
// scan's thread (the list never waits for it), and rows take their mark as results come.

#include "viewer/list/CTabList.h"

#include "skinctl/CCtrlSkinList.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/trip/DrivingScan.h"
#include "viewer/trip/TripTexts.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

void CTabList::createIncidentScan() {
    m_scan = std::make_unique<viewer::trip::DrivingScan>(
        [this](viewer::trip::DrivingScanResult result) { onIncidentsRead(std::move(result)); });
    m_list->installEventFilter(this);
}

// Every recording of the load, in time order across the modes, so that the rows a user looks
// at first (the newest or oldest) do not wait for a whole mode's worth of others.
void CTabList::scanIncidents() {
    std::vector<CTimeList> entries = CatalogueEntries();
    std::stable_sort(entries.begin(), entries.end(), [](const CTimeList& a, const CTimeList& b) {
        return a.m_llStartTime[0] < b.m_llStartTime[0];
    });
    std::vector<viewer::trip::DrivingScanJob> jobs;
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(m_mutex);
        generation = m_scanGeneration;
        for (const CTimeList& entry : entries) {
            if (!entry.m_fileList[0].empty()) {
                jobs.push_back(viewer::trip::DrivingScanJob::FromEntry(entry, generation));
            }
        }
        m_scansPending = static_cast<int>(jobs.size());
    }
    m_scan->Queue(std::move(jobs));
}

void CTabList::forgetIncidents() {
    {
        const std::lock_guard lock(m_mutex);
        ++m_scanGeneration;
        m_scansPending = 0;
        m_incidents.clear();
        ++m_marksGeneration;
    }
    m_scan->Cancel();
}

// On the scan's thread: kept under the lock, the widgets refreshed by a queued call.
void CTabList::onIncidentsRead(viewer::trip::DrivingScanResult result) {
    {
        const std::lock_guard lock(m_mutex);
        if (result.generation != m_scanGeneration) {
            return; // a load before the last
        }
        m_scansPending = std::max(m_scansPending - 1, 0);
        if (result.incidents.empty()) {
            return;
        }
        m_incidents[result.key] = std::move(result.incidents);
        ++m_marksGeneration;
    }
    requestSync();
}

const std::vector<tachy::cli::Incident>* CTabList::incidentsLocked(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) ||
        m_rows[static_cast<std::size_t>(row)]->m_fileList[0].empty()) {
        return nullptr;
    }
    const auto found =
        m_incidents.find(m_rows[static_cast<std::size_t>(row)]->m_fileList[0].front());
    return found != m_incidents.end() ? &found->second : nullptr;
}

QString CTabList::typeCellLocked(const CTimeList& row) const {
    QString text = modeTextLocked(row.m_nRecordMode[0]);
    if (!row.m_fileList[0].empty() && m_incidents.count(row.m_fileList[0].front()) != 0) {
        text += QLatin1Char(' ') + QChar(kIncidentGlyph);
    }
    return text;
}

int CTabList::IncidentCount(int row) const {
    const std::lock_guard lock(m_mutex);
    const auto* incidents = incidentsLocked(row);
    return incidents != nullptr ? static_cast<int>(incidents->size()) : 0;
}

QString CTabList::IncidentToolTip(int row) const {
    const std::lock_guard lock(m_mutex);
    const auto* incidents = incidentsLocked(row);
    return incidents != nullptr ? viewer::trip::IncidentCountsTip(m_context.language, *incidents)
                                : QString();
}

int CTabList::IncidentScansPending() const {
    const std::lock_guard lock(m_mutex);
    return m_scansPending;
}

std::vector<CTimeList> CTabList::CatalogueEntries() const {
    const std::lock_guard lock(m_mutex);
    std::vector<CTimeList> entries;
    for (int mode = 0; mode < kModeCount; ++mode) {
        for (const auto& entry : m_catalogue.GetArray(mode)) {
            entries.push_back(*entry);
        }
    }
    return entries;
}

// The tool tip of a row with incidents: how many of each kind.
bool CTabList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_list || event->type() != QEvent::ToolTip) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int row = m_list->GetTopRow(); row < m_list->GetItemCount(); ++row) {
        const QRect rect = m_list->RowRect(row);
        if (rect.isEmpty()) {
            break;
        }
        if (rect.contains(help->pos())) {
            const QString tip = IncidentToolTip(row);
            if (!tip.isEmpty()) {
                QToolTip::showText(help->globalPos(), tip, m_list, rect);
                return true;
            }
            break;
        }
    }
    QToolTip::hideText();
    return true;
}
