#pragma once
// The settings program's main dialog: loads the card's settings file (creating or repairing it
// when the user agrees), shows it on the product's settings page, saves it safely, and formats the
// card (its format button, and after a save that needs it) with the card's files kept. After a
// write or a format it tells the viewer through "IPC_SHARED_ACCESS"; it follows the viewer's
// language through the watcher on "IPC_SHARED_EVT_SETUP".

#include "setup/CTachySetupApp.h"
#include "setup/SetupCardFormat.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupFileStore.h"

#include <QDialog>
#include <filesystem>
#include <memory>

class ISetupDlg;
class QPushButton;
class SetupWatcher;

namespace tachy {
class NamedEvent;
}

class CTachySetupDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 585;
    static constexpr const char* kAccessEventName = "IPC_SHARED_ACCESS";

    // `app` is borrowed and outlives the dialog; `drive` is the card's root (a mount point or
    // any folder), empty when none was chosen.
    CTachySetupDlg(CTachySetupApp& app, std::filesystem::path drive, QWidget* parent = nullptr);
    ~CTachySetupDlg() override;

    // Everything before the dialog is shown: the page, the settings file (with the user's
    // answers), the watcher. False when the program is to close instead.
    bool Setup();

    ISetupDlg* Page() const { return m_page; }
    const tachy::setupfile::SetupBuffer& Working() const { return m_working; }
    const tachy::setupfile::SetupBuffer& Loaded() const { return m_loaded; }
    std::filesystem::path SettingsFile() const;
    bool IsWatching() const;
    // What the format button and the format after a save format: by default the card's drive
    // (its mount point) with mkfs.fat.
    void SetFormatTarget(SetupFormatTarget target) { m_formatTarget = std::move(target); }

public slots:
    // The viewer changed its language: choose it again and relabel everything.
    void OnLanguageChanged();

private:
    void CreateButtons();
    void LayoutButtons();
    void Relabel();
    bool CreatePage();
    bool LoadSettingsFile();
    bool RepairSettingsFile(const std::filesystem::path& file);
    bool CreateSettingsFile(const std::filesystem::path& file);
    bool WriteWorking();
    void SignalViewer();

    void OnSave();
    void OnDefault();
    void OnSystemInit();
    void OnTimeSet(qint64 time);
    void OnFormat();

    SetupCardFormat CardFormat() const;
    // The format that follows a save which needs one, with the user told how it ended.
    viewer::appdlg::CardFormatReport FormatAfterSave(bool successMessage);
    // After a failed format-after-save: the settings as loaded go back on the card.
    void RestoreLoaded();
    // Tells the user how a format ended; true when it was formatted with every file back.
    bool ReportFormat(const viewer::appdlg::CardFormatReport& report, bool successMessage);

    CTachySetupApp& m_app;
    std::filesystem::path m_drive;
    tachy::setupfile::SetupFileStore m_store;
    std::unique_ptr<tachy::setupfile::ISetupPageModel> m_model;
    tachy::setupfile::SetupBuffer m_working{};
    tachy::setupfile::SetupBuffer m_loaded{};
    ISetupDlg* m_page = nullptr; // a child of this dialog
    QPushButton* m_save = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_default = nullptr;
    QPushButton* m_format = nullptr;
    QPushButton* m_systemInit = nullptr;
    SetupFormatTarget m_formatTarget;
    std::unique_ptr<tachy::NamedEvent> m_access;
    std::unique_ptr<SetupWatcher> m_watcher;
};
