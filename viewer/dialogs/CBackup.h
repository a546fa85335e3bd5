#pragma once
// The backup dialog: the target folder (choose another, show it in the file manager) and Save,
// which copies every file of the checked recordings there through the progress dialog. The
// session decides what Save does: nothing after a complete save into the same folder, a
// question first after the folder changed, else a copy. The dialog says how many files the
// checked recordings are, and names the files that could not be copied.

#include "engine/CTimeList.h"
#include "viewer/dialogs/DialogTexts.h"
#include "viewer/exports/BackupSession.h"

#include <QDialog>

#include <filesystem>
#include <vector>

class CExLangManager;
class QLineEdit;

namespace viewer::dialogs {

class CBackup : public QDialog {
    Q_OBJECT

public:
    CBackup(const CExLangManager& language, AskUser ask, std::vector<CTimeList> entries,
            const std::filesystem::path& target, QWidget* parent);

    const std::filesystem::path& Target() const { return m_session.Target(); }
    const tachy::viewer::BackupSession& Session() const { return m_session; }
    int FileCount() const { return static_cast<int>(m_files.size()); }
    // Copy runs so far (the progress dialog was shown).
    int CopyRuns() const { return m_copyRuns; }

    // The folder button's work once a folder was chosen.
    void ChooseTarget(const QString& folder);
    // Save (1001) and OK (1); false when the user declined the question, so that OK does not
    // close.
    bool
    Save(tachy::viewer::BackupSession::Button button = tachy::viewer::BackupSession::Button::Save);

public slots:
    void accept() override;

private:
    void Build();
    void OnChooseFolder();
    void RunCopy();
    QString Text(const char* key) const;

    const CExLangManager& m_language; // borrowed; outlives the dialog
    AskUser m_ask;
    const std::vector<CTimeList> m_entries;
    const std::vector<std::filesystem::path> m_files; // every channel's file of the entries
    tachy::viewer::BackupSession m_session;
    QLineEdit* m_targetEdit = nullptr; // child
    int m_copyRuns = 0;
};

} // namespace viewer::dialogs
