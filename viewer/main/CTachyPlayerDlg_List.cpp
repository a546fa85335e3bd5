// The main window's side of the recording list: the engine's list callbacks and the queries.
#include "viewer/main/CTachyPlayerDlg.h"

#include "viewer/list/CTabList.h"

void CTachyPlayerDlg::ListCallback(unsigned code, std::intptr_t param, void* payload) {
    switch (code) {
    case 121:
        m_list->OnLoadStart();
        break;
    case 122:
        if (payload != nullptr) {
            m_list->AddEntry(*static_cast<const CTimeList*>(payload));
        }
        break;
    case 120:
        m_list->OnLoadFinished();
        break;
    case 0:
        m_list->OnRebuild();
        break;
    case 140: {
        auto& entry = *static_cast<CTimeList*>(payload);
        if (!m_list->GetEntry(static_cast<int>(param), entry)) {
            entry.m_nFirstFileNumber = {-1, -1, -1};
        }
        break;
    }
    case 141:
        *static_cast<int*>(payload) = param >= 0 && param < m_list->GetItemCount() ? static_cast<int>(param) : -1;
        break;
    case 142:
        *static_cast<int*>(payload) = m_list->GetSelectedRow();
        break;
    default:
        break;
    }
}

bool CTachyPlayerDlg::ListEntry(int row, CTimeList& entry) {
    return m_list->CopyEntry(row, entry);
}

int CTachyPlayerDlg::ListRowCount() const {
    return m_list->GetItemCount();
}

int CTachyPlayerDlg::ListSelectedRow() const {
    return m_list->GetSelectedRow();
}

void CTachyPlayerDlg::ListSelectRow(int row) {
    m_list->SelectRow(row);
}

void CTachyPlayerDlg::ListMarkNothingPlayed() {
    m_list->ClearPlayedRow();
}

void CTachyPlayerDlg::ListRemoveEntry(int /*row*/, const CTimeList& entry) {
    m_list->RemoveEntry(entry);
    m_list->RefreshList();
}
