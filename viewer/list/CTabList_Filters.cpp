// The list page's filter buttons: "all" and one check button per record mode.

#include "viewer/list/CTabList.h"

#include "skinctl/CCtrlButtonEx.h"

using namespace tachy::viewer;

void CTabList::onAllClicked() {
    const bool checked = m_allButton->isChecked();
    stopPlaybackBeforeFilter();
    {
        const std::lock_guard lock(m_mutex);
        m_filter.ApplyAll(checked);
    }
    applyFilterChange();
}

void CTabList::onModeClicked(int mode) {
    const bool checked = m_modeButtons[static_cast<std::size_t>(mode)]->isChecked();
    stopPlaybackBeforeFilter();
    {
        const std::lock_guard lock(m_mutex);
        m_filter.ApplyMode(mode, checked);
    }
    applyFilterChange();
}

void CTabList::stopPlaybackBeforeFilter() {
    if (GetLoadState() == kLoadStatePlaying) {
        send(kAllButtonId, kNotifyStopPlayback);
    }
}

void CTabList::applyFilterChange() {
    // The buttons take the filter's states with the rows.
    RefreshList();
}
