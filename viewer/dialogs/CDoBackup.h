#pragma once
// The backup's progress dialog: copies the files of the checked recordings into the target
// folder on its worker thread, ten steps per file, and keeps what the copy came to.

#include "viewer/dialogs/WorkerProgressDialog.h"
#include "viewer/exports/BackupCopier.h"

#include <filesystem>
#include <vector>

class CExLangManager;

namespace viewer::dialogs {

class CDoBackup : public WorkerProgressDialog {
    Q_OBJECT

public:
    CDoBackup(const CExLangManager& language, std::vector<std::filesystem::path> files,
              std::filesystem::path target, QWidget* parent);

    ~CDoBackup() override;
    CDoBackup(const CDoBackup&) = delete;
    CDoBackup& operator=(const CDoBackup&) = delete;

    // Valid once the dialog has closed.
    const tachy::viewer::BackupResult& Result() const { return m_result; }

protected:
    void Work(const std::atomic<bool>& cancel, const Progress& progress) override;

private:
    const std::vector<std::filesystem::path> m_files; // immutable
    const std::filesystem::path m_target;             // immutable
    tachy::viewer::BackupResult m_result; // worker thread until it ends, then GUI thread
};

} // namespace viewer::dialogs
