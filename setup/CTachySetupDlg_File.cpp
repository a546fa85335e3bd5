// CTachySetupDlg: loading, creating, repairing and saving the settings file.
#include "setup/CTachySetupDlg.h"

#include "setup/ISetupDlg.h"
#include "setup/SetupMessageBox.h"
#include "setupfile/TimeSetFile.h"

#include <algorithm>
#include <ctime>
#include <system_error>

using setup::Answer;
using setup::ShowSetupMessage;
using tachy::setupfile::SetupFileStatus;
using tachy::setupfile::SetupWriteResult;

bool CTachySetupDlg::LoadSettingsFile() {
    const std::filesystem::path file = SettingsFile();
    m_working.fill(0);
    const auto bytes = tachy::setupfile::SetupFileStore::Read(file);
    std::error_code error;
    if (bytes && m_model->Validate(*bytes, m_app.Identity()) == SetupFileStatus::Valid) {
        std::copy_n(bytes->begin(), m_working.size(), m_working.begin());
    } else if (bytes || std::filesystem::exists(file, error)) {
        // Something is there but is no valid settings file: it is replaced only on the
        // user's word and kept in the work folder first.
        if (!RepairSettingsFile(file)) {
            return false;
        }
    } else if (!CreateSettingsFile(file)) {
        return false;
    }
    m_loaded = m_working;
    m_page->ShowValues();
    return true;
}

bool CTachySetupDlg::RepairSettingsFile(const std::filesystem::path& file) {
    if (ShowSetupMessage(this, m_app.Language(), "common warning", "message 007", true) !=
        Answer::Ok) {
        return false;
    }
    m_model->NewFileDefaults(m_working, m_app.Identity());
    const auto result = m_store.Repair(file, m_app.GetPaths().workFolder, m_working,
                                       static_cast<std::int64_t>(std::time(nullptr)));
    if (!result.written || *result.written != SetupWriteResult::Written) {
        ShowSetupMessage(this, m_app.Language(), "common warning", "message 004", false);
        return false;
    }
    SignalViewer();
    return true;
}

bool CTachySetupDlg::CreateSettingsFile(const std::filesystem::path& file) {
    if (ShowSetupMessage(this, m_app.Language(), "common info", "message 002", true) !=
        Answer::Ok) {
        return false;
    }
    m_model->NewFileDefaults(m_working, m_app.Identity());
    if (m_store.Write(file, m_working) != SetupWriteResult::Written) {
        ShowSetupMessage(this, m_app.Language(), "common warning", "message 004", false);
        return false;
    }
    SignalViewer();
    return true;
}

bool CTachySetupDlg::WriteWorking() {
    m_model->UpdateChecksum(m_working);
    if (m_store.Write(SettingsFile(), m_working) != SetupWriteResult::Written) {
        ShowSetupMessage(this, m_app.Language(), "common warning", "message 011", false);
        return false;
    }
    SignalViewer();
    return true;
}

void CTachySetupDlg::OnSave() {
    const int compare = m_model->Compare(m_loaded, m_working);
    if (compare == 0) {
        if (setup::ShowSetupMessage2(this, m_app.Language(), "common warning", "message 005",
                                     "message 006", true) != Answer::Ok) {
            m_model->RestoreFormatSetting(m_loaded, m_working, 0);
            m_page->ShowValues();
            return;
        }
    } else if (compare == tachy::setupfile::kCompareNeedsFormat) {
        if (ShowSetupMessage(this, m_app.Language(), "common warning", "message 008", true) !=
            Answer::Ok) {
            m_model->RestoreFormatSetting(m_loaded, m_working, 1);
            m_page->ShowValues();
            return;
        }
        if (!WriteWorking()) {
            return;
        }
        const auto report = FormatAfterSave(true);
        if (report.result == viewer::appdlg::CardFormatResult::Formatted) {
            accept();
        } else if (report.result != viewer::appdlg::CardFormatResult::WriteBackFailed) {
            // Not formatted (or not all the way): the card keeps the settings it had.
            RestoreLoaded();
        }
        // Formatted without every file back: the copies in the work folder are named, the
        // dialog stays with the settings as saved.
        return;
    }
    if (WriteWorking()) {
        accept();
    }
}

// The page's factory defaults written to the card, and "reset.txt" at its root, which makes
// the recorder reset itself at its next start.
void CTachySetupDlg::OnSystemInit() {
    m_model->FactoryDefaults(m_working, m_app.Identity());
    m_page->ShowValues();
    const int compare = m_model->Compare(m_loaded, m_working);
    if (compare == 0) {
        if (setup::ShowSetupMessage2(this, m_app.Language(), "common warning", "message 005",
                                     "message 006", true) != Answer::Ok) {
            m_model->RestoreFormatSetting(m_loaded, m_working, 0);
            m_page->ShowValues();
            return;
        }
    } else {
        const char* key =
            compare == tachy::setupfile::kCompareNeedsFormat ? "message 009" : "message 010";
        if (ShowSetupMessage(this, m_app.Language(), "common warning", key, true) != Answer::Ok) {
            m_working = m_loaded;
            m_page->ShowValues();
            return;
        }
    }
    if (!WriteWorking()) {
        return;
    }
    // The reset request goes on the card before a format, which keeps it with the other files
    // (a card's folder may be gone once it has been formatted).
    const std::filesystem::path reset = m_drive / tachy::setupfile::TimeSetFile::kResetName;
    std::error_code ignored;
    const bool resetWasThere = std::filesystem::exists(reset, ignored);
    if (tachy::setupfile::TimeSetFile::WriteReset(m_store, m_drive) != SetupWriteResult::Written) {
        ShowSetupMessage(this, m_app.Language(), "common warning", "message 013", false);
        return;
    }
    if (compare == tachy::setupfile::kCompareNeedsFormat) {
        const auto report = FormatAfterSave(false);
        if (report.result == viewer::appdlg::CardFormatResult::WriteBackFailed) {
            return;
        }
        if (report.result != viewer::appdlg::CardFormatResult::Formatted) {
            // Not formatted: the card keeps its settings and no reset is asked for.
            if (!resetWasThere) {
                std::filesystem::remove(reset, ignored);
            }
            RestoreLoaded();
            return;
        }
    }
    accept();
}

void CTachySetupDlg::OnDefault() {
    m_model->ButtonDefaults(m_working, m_app.Identity());
    m_page->ShowValues();
}

void CTachySetupDlg::OnTimeSet(qint64 time) {
    const auto result = tachy::setupfile::TimeSetFile::WriteTimeSet(
        m_store, m_app.Option().SettingsFolder(m_drive), static_cast<std::int64_t>(time));
    if (result != SetupWriteResult::Written) {
        ShowSetupMessage(this, m_app.Language(), "common warning", "message 012", false);
    }
}
