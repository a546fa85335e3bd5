// Opening a card or folder, and reading it again when the card watch says it changed.
#include "viewer/main/CTachyPlayerDlg.h"

#include "engine/IIntrReplayEx.h"
#include "util/avi/CAviParser2.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/boxes/CFullScreen.h"
#include "viewer/main/CLoadRecFile.h"
#include "viewer/main/NewestRecordings.h"
#include "viewer/main/ViewerMessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <thread>

using namespace viewer;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kMaxPathChars = 259;

} // namespace

bool CTachyPlayerDlg::OpenPath(const QString& path) {
    // The loading dialog runs its own event loop: a reload queued meanwhile must not start a
    // second load inside the first.
    if (m_opening) {
        return false;
    }
    m_opening = true;
    const bool success = OpenPathNow(path);
    m_opening = false;
    return success;
}

bool CTachyPlayerDlg::OpenPathNow(const QString& path) {
    m_playback->PrepareForOpen();
    const bool success = RunLoading(path);
    AfterOpen(success, path);
    return success;
}

bool CTachyPlayerDlg::RunLoading(const QString& path) {
    IIntrReplayEx& engine = *m_playback->Engine();
    engine.SetDbPath(path.left(static_cast<int>(kMaxPathChars)).toStdString());
    CLoadRecFile loading(this, engine, m_app.NameRules(),
                         [this](unsigned code, std::intptr_t param, void* entry) { ListCallback(code, param, entry); });
    const bool loaded = loading.Load();
    if (!loaded || ListRowCount() == 0) {
        // Stream files that give no entry are named with their reason, not left in silence.
        const QString text = CLoadRecFile::NothingReadableMessage(path, m_app.NameRules());
        if (!text.isEmpty()) {
            ShowMessage(this, m_app.Language(), LanguageText(m_app.Language(), "common warning"), text, false);
        }
    }
    return loaded;
}

void CTachyPlayerDlg::AfterOpen(bool success, const QString& path) {
    if (!success) {
        if (m_isFullScreen) {
            ToggleFullScreen();
        }
        ListCallback(121, 0, nullptr);  // the list emptied
        m_playback->SetLoadState(kNothingLoaded);
        return;
    }
    m_playback->SetLoadedPath(path);
    m_Setup.latestPath = path.toStdString();
    ++m_openCount;
    ListSelectRow(ListRowCount() - 1);
    m_playback->SetLoadState(kLoaded);
    const int model = m_app.Option().productId;
    if (model != 400 && model != 401) {
        CheckNewestFiles();
    }
}

// The newest recording of each record mode is read once; one the parser cannot open goes to
// the recovery tool.
void CTachyPlayerDlg::CheckNewestFiles() {
    const auto entry = [this](int row, CTimeList& listed) { return ListEntry(row, listed); };
    for (const std::string& file : NewestRecordings(ListRowCount(), entry)) {
        CAviParser2 parser;
        if (parser.OpenStream(file, 0) == 0) {
            RunRecoveryTool(file.c_str());
        } else {
            parser.CloseStream();
        }
    }
}

// The settings program wrote to the card (the card watch's signal, on the GUI thread): the card
// is read again with the loading dialog, and row 0 is selected.
void CTachyPlayerDlg::ReloadAfterCardChange() {
    if (OpenPath(LoadedPath())) {
        ListSelectRow(0);
    }
}
