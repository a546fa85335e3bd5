// The trip dialog: the figures of the recording playing and of every recording the card holds.

#include "viewer/main/CTachyPlayerDlg.h"

#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/list/CTabList.h"
#include "viewer/trip/CTripDialog.h"

#include <optional>

void CTachyPlayerDlg::OpenTripDialog() {
    std::optional<CTimeList> playing;
    CTimeList entry;
    if (m_playback->LoadState() == viewer::kPlaying &&
        m_list->CopyEntry(m_list->GetPlayedRow(), entry)) {
        playing = std::move(entry);
    }
    // A dialog opened again reads afresh: the card may have changed since.
    m_tripDialog = std::make_unique<viewer::trip::CTripDialog>(
        &m_app.Language(), std::move(playing), m_list->CatalogueEntries(), this);
    m_tripDialog->show();
    m_tripDialog->raise();
}
