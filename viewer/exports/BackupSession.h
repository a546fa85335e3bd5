#pragma once
// What the backup dialog remembers while it is open: the target folder, whether a copy has been
// made (saved once), whether the folder was changed since, and whether that copy got every
// file there. It decides what Save and OK do: copy when nothing was copied yet; ask first after
// the folder changed; else nothing, except that Save tries again after a run that was cancelled
// or could not copy every file (files already there are only recognised, not written twice),
// so that the user can finish a backup without leaving the dialog. OK then just closes.

#include <filesystem>
#include <string>

namespace tachy::viewer {

struct BackupResult;

class BackupSession {
public:
    enum class SaveAction { Nothing, AskFirst, Copy };
    enum class Button { Save, Ok };

    // The folder a session starts with: the last backup folder when it names an existing folder
    // of at least three characters, else the default backup folder.
    static std::filesystem::path InitialTarget(const std::string& latest,
                                               const std::filesystem::path& backupFolder);

    explicit BackupSession(std::filesystem::path target);

    const std::filesystem::path& Target() const { return m_target; }
    bool SavedOnce() const { return m_savedOnce; }
    bool TargetChanged() const { return m_targetChanged; }
    bool LastRunComplete() const { return m_lastRunComplete; }

    // The user chose a folder; after a save, another folder (compared as text) is a change.
    void ChooseTarget(const std::filesystem::path& folder);
    SaveAction OnSave(Button button = Button::Save) const;
    // A copy run into the target has ended with this result.
    void OnCopyFinished(const BackupResult& result);

private:
    std::filesystem::path m_target;
    bool m_savedOnce = false;
    bool m_targetChanged = false;
    bool m_lastRunComplete = false;
};

} // namespace tachy::viewer
