#include "viewer/exports/BackupSession.h"

#include "viewer/exports/BackupCopier.h"

namespace tachy::viewer {

std::filesystem::path BackupSession::InitialTarget(const std::string& latest,
                                                   const std::filesystem::path& backupFolder) {
    std::error_code error;
    if (latest.size() >= 3 && std::filesystem::is_directory(latest, error)) {
        return latest;
    }
    return backupFolder;
}

BackupSession::BackupSession(std::filesystem::path target) : m_target(std::move(target)) {}

void BackupSession::ChooseTarget(const std::filesystem::path& folder) {
    if (m_savedOnce && folder.native() != m_target.native()) {
        m_targetChanged = true;
    }
    m_target = folder;
}

BackupSession::SaveAction BackupSession::OnSave(Button button) const {
    if (!m_savedOnce) {
        return SaveAction::Copy;
    }
    if (m_targetChanged) {
        return SaveAction::AskFirst;
    }
    if (!m_lastRunComplete && button == Button::Save) {
        return SaveAction::Copy;
    }
    return SaveAction::Nothing;
}

void BackupSession::OnCopyFinished(const BackupResult& result) {
    m_targetChanged = false;
    m_savedOnce = true;
    m_lastRunComplete = result.Complete();
}

} // namespace tachy::viewer
