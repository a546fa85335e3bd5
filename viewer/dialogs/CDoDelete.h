#pragma once
// The deletion's progress dialog: deletes every file of the checked recordings on its worker
// thread, one step per recording, and keeps the count, the files it could not delete and the
// recordings to take out of the list.

#include "engine/CTimeList.h"
#include "viewer/dialogs/WorkerProgressDialog.h"
#include "viewer/exports/RecordingDeleter.h"

#include <vector>

class CExLangManager;

namespace viewer::dialogs {

class CDoDelete : public WorkerProgressDialog {
    Q_OBJECT

public:
    CDoDelete(const CExLangManager& language, std::vector<CTimeList> entries, QWidget* parent);

    ~CDoDelete() override;
    CDoDelete(const CDoDelete&) = delete;
    CDoDelete& operator=(const CDoDelete&) = delete;

    // Valid once the dialog has closed.
    const tachy::viewer::DeleteResult& Result() const { return m_result; }
    const std::vector<CTimeList>& Entries() const { return m_entries; }

    // Tests: how the dialogs made from now on remove a file (null: from the disk). A test run
    // as root cannot make a file the system refuses to delete.
    static void SetRemoveFile(tachy::viewer::RecordingDeleter::RemoveFile remove);

protected:
    void Work(const std::atomic<bool>& cancel, const Progress& progress) override;

private:
    const std::vector<CTimeList> m_entries;    // immutable
    tachy::viewer::RecordingDeleter m_deleter; // immutable once the worker runs
    tachy::viewer::DeleteResult m_result;      // worker thread until it ends, then GUI thread
};

} // namespace viewer::dialogs
