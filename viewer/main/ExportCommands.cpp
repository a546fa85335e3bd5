#include "viewer/main/ExportCommands.h"

#include "engine/IIntrReplayEx.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/app/CTachyPlayerSetup.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/dialogs/CBackup.h"
#include "viewer/dialogs/CDlgPrint.h"
#include "viewer/dialogs/CDoDelete.h"
#include "viewer/dialogs/CDoExportTrack.h"
#include "viewer/dialogs/CDoExportVideo.h"
#include "viewer/dialogs/CExportVideoDlg.h"
#include "viewer/dialogs/CSnapshot.h"
#include "viewer/exports/BackupSession.h"
#include "viewer/exports/PrintPageContent.h"
#include "viewer/exports/SnapshotNames.h"
#include "viewer/list/CTabList.h"
#include "viewer/main/PlaybackController.h"
#include "viewer/main/ViewerMessageBox.h"

#include <QDateTime>
#include <QFileDialog>
#include <QTimeZone>

#include <algorithm>

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

// A file name in the backup folder made from a time (the first recording, the picture shown).
std::filesystem::path NameByTime(const std::filesystem::path& folder, const char* prefix,
                                 std::int64_t timeMs, const char* suffix) {
    const QString time = QDateTime::fromMSecsSinceEpoch(timeMs, QTimeZone::utc())
                             .toString(QStringLiteral("yyyyMMdd_HHmmss"));
    return folder / (prefix + time.toStdString() + suffix);
}

// The file the user chose, with the chosen type's suffix when the name has another or none.
std::filesystem::path WithSuffix(const QString& file, const QString& suffix) {
    if (file.endsWith(suffix, Qt::CaseInsensitive)) {
        return file.toStdString();
    }
    return (file + suffix).toStdString();
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

bool ExportCommands::CheckedEntries(std::vector<CTimeList>& entries, WhenNoneChecked fallback) {
    const CExLangManager& language = m_parts.app.Language();
    if (m_parts.playback.LoadState() == kNothingLoaded) {
        ShowKeyedMessage(&m_parts.window, language, "common info", "message 002");
        return false;
    }
    std::vector<int> rows = m_parts.list.GetCheckedRows();
    const bool playingInstead = rows.empty() && fallback == WhenNoneChecked::PlayingRow;
    if (playingInstead && m_parts.list.GetPlayedRow() >= 0) {
        rows.push_back(m_parts.list.GetPlayedRow());
    }
    for (const int row : rows) {
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


std::vector<CTimeList> ExportCommands::ListedEntries() const {
    std::vector<CTimeList> entries;
    const int rows = m_parts.list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        CTimeList entry;
        if (m_parts.list.CopyEntry(row, entry)) {
            entries.push_back(entry);
        }
    }
    return entries;
}

void ExportCommands::ExportTrack() {
    std::vector<CTimeList> entries;
    if (!CheckedEntries(entries, WhenNoneChecked::PlayingRow)) {
        return;
    }
    const DialogPause pause(m_parts.playback);
    const CExLangManager& language = m_parts.app.Language();
    const QString gpx = LanguageText(language, "export track filter gpx");
    const QString kml = LanguageText(language, "export track filter kml");
    const std::int64_t firstMs =
        std::min_element(entries.begin(), entries.end(), [](const CTimeList& a, const CTimeList& b) {
            return a.m_llStartTime[0] < b.m_llStartTime[0];
        })->m_llStartTime[0];
    const std::filesystem::path initial =
        NameByTime(m_parts.app.GetPaths().backupFolder, "track_", firstMs, ".gpx");
    QFileDialog chooser(&m_parts.window, LanguageText(language, "export track title"),
                        QString::fromStdString(initial.string()), gpx + QStringLiteral(";;") + kml);
    chooser.setObjectName(QStringLiteral("ExportTrackFile"));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return;
    }
    // The file type chosen in the dialog decides the writer.
    const bool asKml = chooser.selectedNameFilter() == kml;
    const std::filesystem::path target = WithSuffix(
        chooser.selectedFiles().constFirst(), asKml ? QStringLiteral(".kml") : QStringLiteral(".gpx"));
    dialogs::CDoExportTrack progress(
        language,
        tachy::viewer::TrackExport(std::move(entries),
                                   asKml ? tachy::cli::TrackWriter::Format::Kml
                                         : tachy::cli::TrackWriter::Format::Gpx,
                                   target),
        &m_parts.window);
    progress.exec();
    switch (progress.Outcome()) {
    case tachy::viewer::TrackExport::Outcome::Written:
        ShowKeyedText(&m_parts.window, language, "common info", "export track done",
                      dialogs::DialogTexts::WithNumber(language, "export track done", progress.Points()),
                      false);
        break;
    case tachy::viewer::TrackExport::Outcome::NoPositions:
        ShowKeyedMessage(&m_parts.window, language, "common info", "export no positions");
        break;
    case tachy::viewer::TrackExport::Outcome::Failed:
        ShowKeyedText(&m_parts.window, language, "common warning", "export track failed",
                      LanguageText(language, "export track failed") + QLatin1Char('\n') +
                          QString::fromStdString(target.string()),
                      false);
        break;
    case tachy::viewer::TrackExport::Outcome::Stopped:
        break;
    }
}

void ExportCommands::ExportVideo() {
    if (!m_parts.playback.RequirePlayback()) {
        return;
    }
    // Playback stays paused from the dialog to the end of the export.
    const DialogPause pause(m_parts.playback);
    const CExLangManager& language = m_parts.app.Language();
    std::vector<CTimeList> entries = ListedEntries();
    if (entries.empty()) {
        ShowKeyedMessage(&m_parts.window, language, "common info", "message 003");
        return;
    }
    const driving::FrameDrivingValues values = m_parts.drivingValues();
    dialogs::ExportVideoSpan span;
    span.pictureMs = values.second * 1000 + values.millisecond;
    span.firstMs = entries.front().m_llStartTime[0];
    span.lastMs = entries.front().m_llEndTime[0];
    for (const CTimeList& entry : entries) {
        span.firstMs = std::min(span.firstMs, entry.m_llStartTime[0]);
        span.lastMs = std::max(span.lastMs, entry.m_llEndTime[0]);
    }
    span.cameras = std::max(1, m_parts.playback.ChannelCount());
    const std::filesystem::path initial = NameByTime(m_parts.app.GetPaths().backupFolder, "video_",
                                                     span.pictureMs, ".mp4");
    dialogs::CExportVideoDlg dialog(language, Ask(), span, initial, &m_parts.window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    tachy::viewer::VideoExportRequest request;
    request.entries = std::move(entries);
    request.nameRules = m_parts.app.NameRules();
    request.fromMs = dialog.FromMs();
    request.toMs = dialog.ToMs();
    request.layout = dialog.Layout();
    request.overlay = dialog.Overlay();
    request.target = dialog.Target();
    dialogs::CDoExportVideo progress(language, tachy::viewer::VideoExport(std::move(request)),
                                     &m_parts.window);
    progress.exec();
    switch (progress.Outcome()) {
    case tachy::viewer::VideoExport::Outcome::Written:
        ShowKeyedMessage(&m_parts.window, language, "common info", "export video done");
        break;
    case tachy::viewer::VideoExport::Outcome::Failed:
        ShowKeyedText(&m_parts.window, language, "common warning", "export video failed",
                      LanguageText(language, "export video failed") + QLatin1Char('\n') +
                          QString::fromStdString(progress.Export().Error()),
                      false);
        break;
    case tachy::viewer::VideoExport::Outcome::Stopped:
        ShowKeyedMessage(&m_parts.window, language, "common info", "export video stopped");
        break;
    }
}

} // namespace viewer
