// The About box and the language change: the dialog, the new texts in every part of the
// window, and the signal to the settings program.
#include "viewer/main/CTachyPlayerDlg.h"

#include "platform/ipc/NamedEvent.h"
#include "platform/text/CodePage.h"
#include "util/CUtilReg.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/appdlg/CAboutDlg.h"
#include "viewer/appdlg/CAboutDlgEx.h"
#include "viewer/appdlg/CDlgLang.h"
#include "viewer/appdlg/RecorderVersion.h"
#include "viewer/boxes/CWndFunc.h"
#include "viewer/list/CTabList.h"
#include "viewer/main/ViewerKeyboard.h"
#include "viewer/map/IWndMap.h"
#include "viewer/obd/CWndOBD.h"
#include "viewer/panels/CWndGSensor.h"
#include "viewer/playbar/CPlayCtrl.h"
#include "viewer/playbar/CWndVideoCtrl.h"

#include <QCoreApplication>

using namespace viewer;

namespace {

bool HasExtendedAbout(int model) {
    return model == 400 || model == 401;
}

} // namespace

void CTachyPlayerDlg::ShowAbout() {
    const COption& option = m_app.Option();
    appdlg::RecorderVersionSource source;
    source.loadedPath = LoadState() != kNothingLoaded ? LoadedPath().toStdString() : std::string();
    source.productId = option.productId;
    source.setupDir = option.setupDir;
    source.setupFileName = option.setupFileName;
    source.codePage = tachy::text::ansiCodePage();
    appdlg::AboutInfo info;
    info.productId = option.productId;
    info.title = QString::fromStdString(option.title);
    info.optionVersion = QString::fromStdString(option.version);
    info.programVersion = QCoreApplication::applicationVersion();
    info.recorderVersion = QString::fromStdString(appdlg::ReadRecorderVersion(source));
    if (HasExtendedAbout(option.productId)) {
        appdlg::CAboutDlgEx dialog(m_app.Language(), info, this);
        dialog.exec();
        return;
    }
    appdlg::CAboutDlg dialog(m_app.Language(), info, [this] { OpenFormatDialog(); }, this);
    dialog.exec();
}

// The language dialog pauses forward playback; a new language stops it instead, as the
// window's parts are given their texts again.
void CTachyPlayerDlg::ChooseLanguage() {
    CUtilReg registry;
    const auto storedId = static_cast<std::uint16_t>(
        registry.ReadRegDWORD(m_app.ProfileKey() + "\\Language", "ID", 0));
    const LanguageEntry* before = m_app.Languages().CurrentEntry();
    const QString previousFile = before != nullptr ? before->file : QString();
    const bool paused = m_playback->PauseForDialog();
    appdlg::CDlgLang dialog(m_app.Language(), m_app.Languages().Entries(), storedId, this);
    if (dialog.exec() != QDialog::Accepted || dialog.SelectedId() == storedId) {
        m_playback->ResumeAfterDialog(paused);
        return;
    }
    m_app.ChangeLanguage(dialog.SelectedId());
    const LanguageEntry* after = m_app.Languages().CurrentEntry();
    if (after != nullptr && after->file == previousFile) {
        // Another choice that selects the same language: nothing to redraw.
        m_playback->ResumeAfterDialog(paused);
        return;
    }
    m_playback->StopPlayback();
    ApplyLanguage();
    if (m_setupEvent) {
        m_setupEvent->set();
    }
}

// Every text of the window and its parts from the language now loaded.
void CTachyPlayerDlg::ApplyLanguage() {
    ApplyToolbarTips();
    m_func->OnLanguageChanged();
    m_list->OnLanguageChanged();
    m_playCtrl->OnLanguageChanged();
    m_videoCtrl->OnLanguageChanged();
    m_gsensor->OnLanguageChanged(m_app.Context());
    m_obd->ChangeLanguage();
    if (MapOffered()) {
        // The map page belongs to the language's folder: a new page replaces the old one.
        QWidget* old = m_func->Page(1);
        CreateMap();
        if (old != nullptr && old != m_func->Page(1)) {
            old->deleteLater();
        }
    }
    update();
}
