#pragma once
// What the backup dialog remembers while it is open: the target folder, whether everything has
// been saved there once, and whether the folder was changed since. It decides what Save does:
// nothing after a complete save to the same folder, ask first after the folder changed, else
// copy. A run that was cancelled or could not copy every file does not count as a save, so the
// next Save copies again (files already there are only recognised, not written twice).

#include <filesystem>
#include <string>

namespace tachy::viewer {

struct BackupResult;

class BackupSession {
public:
    enum class SaveAction { Nothing, AskFirst, Copy };

    // The folder a session starts with: the last backup folder when it names an existing folder
    // of at least three characters, else the default backup folder.
    static std::filesystem::path InitialTarget(const std::string& latest,
                                               const std::filesystem::path& backupFolder);

    explicit BackupSession(std::filesystem::path target);

    const std::filesystem::path& Target() const { return m_target; }
    bool SavedOnce() const { return m_savedOnce; }
    bool TargetChanged() const { return m_targetChanged; }

    // The user chose a folder; after a save, another folder (compared as text) is a change.
    void ChooseTarget(const std::filesystem::path& folder);
    SaveAction OnSave() const;
    // A copy run into the target has ended with this result.
    void OnCopyFinished(const BackupResult& result);

private:
    std::filesystem::path m_target;
    bool m_savedOnce = false;
    bool m_targetChanged = false;
};

} // namespace tachy::viewer
