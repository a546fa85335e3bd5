#pragma once
// The list page of the tab window: the recordings of the opened card or folder, one row per
// time-list entry, with a filter button per record mode, an "all" button, and the buttons that
// start backup and deletion of the checked rows. The selected row is where playback starts;
// while playing, the row being played is marked.
//
// Threads: the loading callbacks and the queries may come from any thread. The catalogue,
// the rows and the marks live under one lock; the widgets are touched on the GUI thread only.
// A call from another thread changes the state and queues a refresh of the widgets to the GUI
// thread (a queued call, never a blocking one, so no thread ever waits for the GUI thread).
// The GUI thread may wait for the lock while another thread sorts. Notifications to the owner
// are sent without the lock held, so the owner may call back into the page.

#include "engine/CTimeList.h"
#include "viewer/list/CListMgr.h"
#include "viewer/list/ListConstants.h"
#include "viewer/list/ListFilter.h"
#include "viewer/trip/DrivingScan.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CCtrlButtonEx;
class QAction;
class CCtrlSkinList;
struct ViewerContext;

namespace tachy {
class CommandTarget;
}

class CTabList : public QWidget {
    Q_OBJECT

public:
    static constexpr int kModeCount = tachy::viewer::kModeCount;

    // The owner receives the page's notifications (message kWmUser, the control's id, the
    // argument); it may be null. Both it and the context must outlive the page.
    CTabList(const ViewerContext& context, tachy::CommandTarget* owner,
             QWidget* parent = nullptr);
    ~CTabList() override;

    // Loading, in the order the loading worker calls them (any thread).
    void OnLoadStart();                        // delete rows, filters on, empty the catalogue
    void AddEntry(const CTimeList& entry);     // keep a copy in the catalogue
    void OnLoadFinished();                     // sort the catalogue
    void OnRebuild();                          // rows from the switched-on modes, fill
    void ClearList();                          // a failed load: as a load start

    // Removes the catalogue entry that matches a row's entry (start, mode, file numbers).
    bool RemoveEntry(const CTimeList& entry);
    // Deletes the rows, rebuilds and fills them; selects row 0, or none when empty.
    void RefreshList();

    // Queries (any thread).
    // Copies row's entry; while playing also marks it as played and shows it. False when
    // there is no such row.
    bool GetEntry(int row, CTimeList& entry);
    // Copies row's entry without marking anything.
    bool CopyEntry(int row, CTimeList& entry) const;
    int GetItemCount() const;
    int GetCheckedCount() const;
    std::vector<int> GetCheckedRows() const;
    int GetSelectedRow() const;
    int GetPlayedRow() const;
    void SelectRow(int row);  // ignored unless row < number of rows; negative: none
    void ClearPlayedRow();                     // mark nothing as played

    // The main window's load state (0, 1, 2); leaving 2 clears the played mark.
    void SetLoadState(int state);
    int GetLoadState() const;

    // GUI thread: column headers, mode texts and button captions read again.
    void OnLanguageChanged();
    // GUI thread: an action offered by a right click on the rows (a child of the page or kept
    // alive as long as it), named by the language text of `textKey` and the key that also
    // starts it ("Ctrl+E"; may be empty).
    void AddRowAction(QAction* action, const char* textKey, const char* keyText);

    // Incidents per recording, found in its driving data after a load, in the background:
    // rows with any show a mark after their type and a tool tip with the count per kind.
    // Rows fill in as results come (any thread).
    int IncidentCount(int row) const;
    QString IncidentToolTip(int row) const;
    // Recordings of the last load whose driving data is still to be read.
    int IncidentScansPending() const;
    // Every recording the last load found, in every mode, filtered or not.
    std::vector<CTimeList> CatalogueEntries() const;
    // The mark after a row's type.
    static constexpr char16_t kIncidentGlyph = u'\u26A0';

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Snapshot;

    // Construction (CTabList.cpp).
    void createButtons();
    void createListControl();
    void placeControls();
    QString text(const char* key) const;
    QFont fontFor(const char* key) const;
    void setCaption(CCtrlButtonEx* button, const char* key);
    void nameRowActions();
    void fitColumns();
    QRect elementRect(const char* element) const;
    static std::array<bool, kModeCount> availableModes(const ViewerContext& context);

    // Catalogue and rows (CTabList_Catalogue.cpp); the lock is held by the caller.
    void rebuildLocked();
    void clearRowsLocked();
    void resetLocked();
    void readModeTextsLocked();
    QString modeTextLocked(int mode) const;
    // The type column's text: the mode, and the incident mark when the row has incidents.
    QString typeCellLocked(const CTimeList& row) const;
    const std::vector<tachy::cli::Incident>* incidentsLocked(int row) const;

    // Incidents (CTabList_Incidents.cpp).
    void createIncidentScan();
    void scanIncidents();
    void forgetIncidents();
    void onIncidentsRead(viewer::trip::DrivingScanResult result);

    // Filter buttons (CTabList_Filters.cpp), GUI thread.
    void onAllClicked();
    void onModeClicked(int mode);
    void stopPlaybackBeforeFilter();
    void applyFilterChange();

    // Widgets (CTabList_Control.cpp).
    void requestSync();
    void syncControl();
    Snapshot takeSnapshot();
    void applySnapshot(const Snapshot& snapshot);
    void onListNotify(int message, int id, int row);
    void onCheckChanged(int row, bool checked);
    void send(int id, std::intptr_t argument);

    const ViewerContext& m_context;             // immutable
    tachy::CommandTarget* const m_owner;        // immutable, borrowed

    // Widgets, owned by this widget through Qt parenthood; GUI thread only.
    CCtrlSkinList* m_list = nullptr;
    CCtrlButtonEx* m_allButton = nullptr;
    std::array<CCtrlButtonEx*, kModeCount> m_modeButtons{};
    CCtrlButtonEx* m_saveButton = nullptr;
    CCtrlButtonEx* m_deleteButton = nullptr;
    std::uint64_t m_shownGeneration = 0;        // GUI thread only: rows the control shows

    mutable std::mutex m_mutex;
    CListMgr m_catalogue;                       // guarded by m_mutex
    CListMgr m_view;                            // guarded by m_mutex
    std::vector<std::unique_ptr<CTimeList>> m_rows;  // guarded by m_mutex
    std::vector<char> m_checked;                // guarded by m_mutex, one per row
    std::uint64_t m_rowsGeneration = 1;         // guarded by m_mutex; changes with row texts
    int m_selectedRow = -1;                     // guarded by m_mutex
    int m_playedRow = -1;                       // guarded by m_mutex
    bool m_showSelected = false;                // guarded by m_mutex: scroll to it once
    bool m_showPlayed = false;                  // guarded by m_mutex: scroll to it once
    int m_loadState = tachy::viewer::kLoadStateNone;  // guarded by m_mutex
    tachy::viewer::ListFilter m_filter;         // guarded by m_mutex
    std::array<QString, kModeCount> m_modeTexts;  // guarded by m_mutex

    std::atomic<bool> m_syncQueued{false};      // a refresh is queued to the GUI thread

    struct RowAction {
        QAction* action;     // borrowed
        const char* textKey; // static
        const char* keyText; // static
    };
    std::vector<RowAction> m_rowActions;        // GUI thread only

    // Incidents by the recording's first front-camera file.
    std::map<std::string, std::vector<tachy::cli::Incident>> m_incidents;  // guarded by m_mutex
    std::uint64_t m_scanGeneration = 0;         // guarded by m_mutex: the load scanned
    int m_scansPending = 0;                     // guarded by m_mutex
    std::uint64_t m_marksGeneration = 0;        // guarded by m_mutex; changes with m_incidents
    std::uint64_t m_shownMarksGeneration = 0;   // GUI thread only: marks the control shows
    // Last: its thread is joined before the state its results reach goes.
    std::unique_ptr<viewer::trip::DrivingScan> m_scan;
};
