#include "viewer/main/ExportCommands.h"

#include "engine/IIntrReplayEx.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/app/CTachyPlayerSetup.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/dialogs/CBackup.h"
#include "viewer/dialogs/CDlgPrint.h"
#include "viewer/dialogs/CDoDelete.h"
#include "viewer/dialogs/CSnapshot.h"
#include "viewer/exports/BackupSession.h"
#include "viewer/exports/PrintPageContent.h"
#include "viewer/exports/SnapshotNames.h"
#include "viewer/list/CTabList.h"
#include "viewer/main/PlaybackController.h"
#include "viewer/main/ViewerMessageBox.h"

namespace viewer {
namespace {

// Pauses forward playback while a dialog is open and lets it play on afterwards.
class DialogPause {
public:
    explicit DialogPause(PlaybackController& playback)
        : m_playback(playback), m_paused(playback.PauseForDialog()) {}
    ~DialogPause() { m_playback.ResumeAfterDialog(m_paused); }
    DialogPause(const DialogPause&) = delete;
    DialogPause& operator=(const DialogPause&) = delete;

private:
    PlaybackController& m_playback;
    const bool m_paused;
};

QStringList names(const std::vector<std::filesystem::path>& files) {
    QStringList list;
    for (const auto& file : files) {
        list.append(QString::fromStdString(file.string()));
    }
    return list;
}

} // namespace

ExportCommands::ExportCommands(Parts parts) : m_parts(std::move(parts)) {}

dialogs::AskUser ExportCommands::Ask() const {
    QWidget* window = &m_parts.window;
    const CExLangManager* language = &m_parts.app.Language();
    return [window, language](const char* captionKey, const char* textKey, const QString& text,
                              bool withCancel) {
        return ShowKeyedText(window, *language, captionKey, textKey, text, withCancel) ==
               Answer::Ok;
    };
}

void ExportCommands::Snapshot() {
    if (!m_parts.playback.RequirePlayback()) {
        return;
    }
    const DialogPause pause(m_parts.playback);
    const driving::FrameDrivingValues values = m_parts.drivingValues();
    const QString target = viewer::exports::SnapshotNames::TargetFolder(
        QString::fromStdString(m_parts.setup.latestJpegPath),
        QString::fromStdString(m_parts.app.GetPaths().backupFolder.string()));
    dialogs::CSnapshot dialog(
        m_parts.app.Language(), Ask(),
        viewer::exports::SnapshotPictureSet::FromEngine(*m_parts.playback.Engine()), values.second,
        values.millisecond, target, &m_parts.window);
    dialog.exec();
    m_parts.setup.latestJpegPath = dialog.Target().toStdString();
}

void ExportCommands::Print() {
    if (!m_parts.playback.RequirePlayback()) {
        return;
    }
    const DialogPause pause(m_parts.playback);
    const driving::FrameDrivingValues values = m_parts.drivingValues();
    viewer::exports::PrintPageContent content =
        viewer::exports::PrintPageContent::FromLanguage(m_parts.app.Language());
    content.pictures = viewer::exports::SnapshotPictureSet::FromEngine(*m_parts.playback.Engine());
    content.second = values.second;
    content.latitude = values.fields.latitude;
    content.longitude = values.fields.longitude;
    content.speed = values.fields.speed;
    content.gSensorX = values.fields.gSensorX;
    content.gSensorY = values.fields.gSensorY;
    content.gSensorZ = values.fields.gSensorZ;
    dialogs::CDlgPrint dialog(m_parts.app.Language(), Ask(), std::move(content),
                              dialogs::CDlgPrint::DefaultPaper(), &m_parts.window);
    dialog.exec();
}

bool ExportCommands::CheckedEntries(std::vector<CTimeList>& entries) {
    const CExLangManager& language = m_parts.app.Language();
    if (m_parts.playback.LoadState() == kNothingLoaded) {
        ShowKeyedMessage(&m_parts.window, language, "common info", "message 002");
        return false;
    }
    for (const int row : m_parts.list.GetCheckedRows()) {
        CTimeList entry;
        if (m_parts.list.CopyEntry(row, entry)) {
            entries.push_back(entry);
        }
    }
    if (entries.empty()) {
        const QString text = LanguageText(language, "message 011") + QStringLiteral("\r\n") +
                             LanguageText(language, "message 012");
        ShowKeyedText(&m_parts.window, language, "common info", "message 011", text, false);
        return false;
    }
    return true;
}

void ExportCommands::Backup() {
    std::vector<CTimeList> entries;
    if (!CheckedEntries(entries)) {
        return;
    }
    const std::filesystem::path target = tachy::viewer::BackupSession::InitialTarget(
        m_parts.setup.latestBackupPath, m_parts.app.GetPaths().backupFolder);
    dialogs::CBackup dialog(m_parts.app.Language(), Ask(), std::move(entries), target,
                            &m_parts.window);
    dialog.exec();
    m_parts.setup.latestBackupPath = dialog.Target().string();
}

void ExportCommands::DeleteChecked() {
    std::vector<CTimeList> entries;
    if (!CheckedEntries(entries)) {
        return;
    }
    const CExLangManager& language = m_parts.app.Language();
    const QString question = dialogs::DialogTexts::WithNumber(
        language, "del message1", static_cast<long long>(entries.size()));
    if (ShowKeyedText(&m_parts.window, language, "common warning", "del message1", question,
                      true) != Answer::Ok) {
        return;
    }
    m_parts.playback.StopPlayback();
    dialogs::CDoDelete progress(language, std::move(entries), &m_parts.window);
    progress.exec();
    const tachy::viewer::DeleteResult& result = progress.Result();
    // Every recording the deletion went through leaves the list, deleted or not: the user chose
    // to be rid of it, and a file that stayed is named below.
    for (const std::size_t index : result.removedEntries) {
        m_parts.list.RemoveEntry(progress.Entries()[index]);
    }
    m_parts.list.RefreshList();
    const QString text = dialogs::DialogTexts::WithFailures(
        language, dialogs::DialogTexts::WithNumber(language, "del message2", result.deletedFiles),
        "del failed", names(result.failed));
    ShowKeyedText(&m_parts.window, language, "common info", "del message2", text, false);
}

} // namespace viewer
