#include "viewer/dialogs/CDoBackup.h"

#include "viewer/dialogs/DialogTexts.h"

namespace viewer::dialogs {

CDoBackup::CDoBackup(const CExLangManager& language, std::vector<std::filesystem::path> files,
                     std::filesystem::path target, QWidget* parent)
    : WorkerProgressDialog(DialogTexts::Text(language, "backup title"),
                           DialogTexts::Text(language, "common cancel"), parent),
      m_files(std::move(files)), m_target(std::move(target)) {
    setObjectName(QStringLiteral("CDoBackup"));
}

CDoBackup::~CDoBackup() {
    JoinWorker();
}

void CDoBackup::Work(const std::atomic<bool>& cancel, const Progress& progress) {
    tachy::viewer::BackupCopier copier(m_target);
    copier.SetProgress(progress);
    m_result = copier.Copy(m_files, cancel);
}

} // namespace viewer::dialogs
