// The list page's catalogue and rows: the loading callbacks, rebuilding the rows from the
// switched-on modes, and the queries of the main window and the engine.

#include "viewer/list/CTabList.h"

using namespace tachy::viewer;

void CTabList::OnLoadStart() {
    {
        const std::lock_guard lock(m_mutex);
        resetLocked();
    }
    forgetIncidents();
    requestSync();
}

void CTabList::ClearList() {
    OnLoadStart();
}

void CTabList::AddEntry(const CTimeList& entry) {
    const std::lock_guard lock(m_mutex);
    m_catalogue.AddEntry(entry);
}

void CTabList::OnLoadFinished() {
    {
        const std::lock_guard lock(m_mutex);
        m_catalogue.Sort();
    }
    scanIncidents();
}

void CTabList::OnRebuild() {
    {
        const std::lock_guard lock(m_mutex);
        rebuildLocked();
    }
    requestSync();
}

bool CTabList::RemoveEntry(const CTimeList& entry) {
    const std::lock_guard lock(m_mutex);
    return m_catalogue.RemoveEntry(entry);
}

void CTabList::RefreshList() {
    {
        const std::lock_guard lock(m_mutex);
        rebuildLocked();
        m_selectedRow = m_rows.empty() ? -1 : 0;
        m_showSelected = true;
    }
    requestSync();
}

void CTabList::resetLocked() {
    clearRowsLocked();
    m_filter.Reset();
    m_catalogue.RemoveAll();
    m_view.RemoveAll();
}

void CTabList::clearRowsLocked() {
    m_rows.clear();
    m_checked.clear();
    m_selectedRow = -1;
    m_playedRow = -1;
    m_showSelected = false;
    m_showPlayed = false;
    ++m_rowsGeneration;
}

void CTabList::rebuildLocked() {
    clearRowsLocked();
    m_view.RemoveAll();
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (!m_filter.IsModeOn(mode)) {
            continue;
        }
        for (const auto& entry : m_catalogue.GetArray(mode)) {
            m_view.AppendEntry(0, std::make_unique<CTimeList>(*entry));
        }
    }
    if (m_view.GetCount(0) == 0) {
        return;
    }
    m_view.Sort();
    for (const auto& entry : m_view.GetArray(0)) {
        m_rows.push_back(std::make_unique<CTimeList>(*entry));
    }
    m_checked.assign(m_rows.size(), 0);
}

bool CTabList::GetEntry(int row, CTimeList& entry) {
    bool marked = false;
    {
        const std::lock_guard lock(m_mutex);
        if (row < 0 || row >= static_cast<int>(m_rows.size())) {
            return false;
        }
        entry = *m_rows[static_cast<std::size_t>(row)];
        if (m_loadState == kLoadStatePlaying) {
            m_playedRow = row;
            m_showPlayed = true;
            marked = true;
        }
    }
    if (marked) {
        requestSync();
    }
    return true;
}

bool CTabList::CopyEntry(int row, CTimeList& entry) const {
    const std::lock_guard lock(m_mutex);
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return false;
    }
    entry = *m_rows[static_cast<std::size_t>(row)];
    return true;
}

int CTabList::GetItemCount() const {
    const std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

int CTabList::GetCheckedCount() const {
    return static_cast<int>(GetCheckedRows().size());
}

std::vector<int> CTabList::GetCheckedRows() const {
    const std::lock_guard lock(m_mutex);
    std::vector<int> rows;
    for (std::size_t row = 0; row < m_checked.size(); ++row) {
        if (m_checked[row] != 0) {
            rows.push_back(static_cast<int>(row));
        }
    }
    return rows;
}

int CTabList::GetSelectedRow() const {
    const std::lock_guard lock(m_mutex);
    return m_selectedRow;
}

int CTabList::GetPlayedRow() const {
    const std::lock_guard lock(m_mutex);
    return m_playedRow;
}

void CTabList::SelectRow(int row) {
    {
        const std::lock_guard lock(m_mutex);
        if (row >= static_cast<int>(m_rows.size())) {
            return;
        }
        m_selectedRow = row < 0 ? -1 : row;  // a negative row clears the selection
        m_showSelected = m_selectedRow >= 0;
    }
    requestSync();
}

void CTabList::ClearPlayedRow() {
    {
        const std::lock_guard lock(m_mutex);
        m_playedRow = -1;
        m_showPlayed = false;
    }
    requestSync();
}

void CTabList::SetLoadState(int state) {
    {
        const std::lock_guard lock(m_mutex);
        m_loadState = state;
        if (state != kLoadStatePlaying) {
            m_playedRow = -1;
            m_showPlayed = false;
        }
    }
    requestSync();
}

int CTabList::GetLoadState() const {
    const std::lock_guard lock(m_mutex);
    return m_loadState;
}
