// The list page's widgets: bringing the list control and the buttons in line with the page's
// state on the GUI thread, and the notifications the control and the buttons send.

#include "viewer/list/CTabList.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/list/ListFormats.h"

#include <QMetaObject>
#include <QThread>

#include <utility>

using namespace tachy::viewer;

// What the widgets should show, taken under the lock and applied without it.
struct CTabList::Snapshot {
    std::uint64_t generation = 0;
    bool refill = false;
    std::vector<RowTexts> rows;  // only when refilling
    std::vector<bool> warnings;  // likewise: rows of incidents, drawn in the warning colour
    std::uint64_t marksGeneration = 0;
    std::vector<QString> typeColumn;  // when only the incident marks changed
    int selected = -1;
    int played = -1;
    bool showSelected = false;
    bool showPlayed = false;
    std::array<bool, kModeCount> buttonChecked{};
    bool allChecked = false;
};

void CTabList::requestSync() {
    if (QThread::currentThread() == thread()) {
        syncControl();
        return;
    }
    // One queued refresh at a time is enough: it reads the state when it runs.
    if (!m_syncQueued.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_syncQueued = false;
                syncControl();
            },
            Qt::QueuedConnection);
    }
}

void CTabList::syncControl() {
    applySnapshot(takeSnapshot());
}

CTabList::Snapshot CTabList::takeSnapshot() {
    Snapshot snapshot;
    const std::lock_guard lock(m_mutex);
    snapshot.generation = m_rowsGeneration;
    snapshot.refill = m_shownGeneration != m_rowsGeneration;
    if (snapshot.refill) {
        snapshot.rows.reserve(m_rows.size());
        for (const auto& row : m_rows) {
            snapshot.rows.push_back(MakeRowTexts(*row, typeCellLocked(*row), m_context.modelCode));
            snapshot.warnings.push_back(IsIncidentMode(row->m_nRecordMode[0]));
        }
    }
    snapshot.marksGeneration = m_marksGeneration;
    if (!snapshot.refill && m_shownMarksGeneration != m_marksGeneration) {
        for (const auto& row : m_rows) {
            snapshot.typeColumn.push_back(typeCellLocked(*row));
        }
    }
    snapshot.selected = m_selectedRow;
    snapshot.played = m_playedRow;
    snapshot.showSelected = std::exchange(m_showSelected, false);
    snapshot.showPlayed = std::exchange(m_showPlayed, false);
    for (int mode = 0; mode < kModeCount; ++mode) {
        snapshot.buttonChecked[static_cast<std::size_t>(mode)] = m_filter.IsButtonChecked(mode);
    }
    snapshot.allChecked = m_filter.IsAllChecked();
    return snapshot;
}

void CTabList::applySnapshot(const Snapshot& snapshot) {
    if (snapshot.refill) {
        m_list->setUpdatesEnabled(false);
        m_list->DeleteAllItems();
        for (std::size_t row = 0; row < snapshot.rows.size(); ++row) {
            const int item = m_list->InsertItem(static_cast<int>(row), QString());
            for (int column = 1; column <= 5; ++column) {
                m_list->SetItemText(item, column,
                                    snapshot.rows[row][static_cast<std::size_t>(column - 1)]);
            }
            m_list->SetRowWarning(item, snapshot.warnings[row]);
        }
        fitColumns();
        m_list->setUpdatesEnabled(true);
        m_shownGeneration = snapshot.generation;
    } else if (!snapshot.typeColumn.empty()) {
        for (std::size_t row = 0; row < snapshot.typeColumn.size(); ++row) {
            m_list->SetItemText(static_cast<int>(row), 1, snapshot.typeColumn[row]);
        }
        fitColumns();
    }
    m_shownMarksGeneration = snapshot.marksGeneration;
    if (m_list->GetSelectedRow() != snapshot.selected) {
        m_list->SetSelectedRow(snapshot.selected);
    }
    if (snapshot.showSelected) {
        m_list->EnsureVisible(snapshot.selected);
    }
    // Setting the mark also scrolls to it: only when it moves or is asked to be shown.
    if (m_list->GetIndicatedRow() != snapshot.played || snapshot.showPlayed) {
        m_list->SetIndicatedRow(snapshot.played);
    }
    m_allButton->setChecked(snapshot.allChecked);
    for (int mode = 0; mode < kModeCount; ++mode) {
        const auto index = static_cast<std::size_t>(mode);
        if (!m_modeButtons[index]->isHidden()) {  // hidden: a mode the skin lacks
            m_modeButtons[index]->setChecked(snapshot.buttonChecked[index]);
        }
    }
}

void CTabList::onListNotify(int message, int /*id*/, int row) {
    bool playing = false;
    {
        const std::lock_guard lock(m_mutex);
        // A row of rows the page has since replaced means nothing.
        if (m_shownGeneration != m_rowsGeneration || row < 0 ||
            row >= static_cast<int>(m_rows.size())) {
            return;
        }
        playing = m_loadState == kLoadStatePlaying;
        if (message == CCtrlSkinList::kNotifySelect) {
            m_selectedRow = row;
        } else if (message == CCtrlSkinList::kNotifyActivate && playing) {
            m_playedRow = row;
        }
    }
    if (message == CCtrlSkinList::kNotifySelect) {
        if (!playing) {
            send(kListControlId, kNotifySelectionChanged);
        }
    } else if (message == CCtrlSkinList::kNotifyActivate) {
        syncControl();
        send(kListControlId, kNotifyPlaySelection);
    }
}

void CTabList::onCheckChanged(int row, bool checked) {
    const std::lock_guard lock(m_mutex);
    if (m_shownGeneration == m_rowsGeneration && row >= 0 &&
        row < static_cast<int>(m_checked.size())) {
        m_checked[static_cast<std::size_t>(row)] = checked ? 1 : 0;
    }
}

void CTabList::send(int id, std::intptr_t argument) {
    if (m_owner != nullptr) {
        m_owner->command(kWmUser, static_cast<std::uintptr_t>(id), argument);
    }
}
