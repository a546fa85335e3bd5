#include "wizard/CTachyWizardApp.h"

#include "platform/folders/SpecialFolder.h"

#include <system_error>

CTachyWizardApp::~CTachyWizardApp() {
    ExitInstance();
}

bool CTachyWizardApp::InitInstance(const std::filesystem::path& programFolder, QString& message) {
    m_paths.programFolder = programFolder;
    m_paths.optionFolder = programFolder / "_option";
    if (!m_option.Load(m_paths.optionFolder)) {
        message = QStringLiteral("option file is missing");
        return false;
    }
    SelectLanguage();
    CreateFolders();
    return true;
}

void CTachyWizardApp::SelectLanguage() {
    const QString root =
        QString::fromStdString((m_paths.programFolder / m_option.langFolder).string());
    m_languages.Choose(root, m_language, WizardLanguage::StoredLanguageId(m_option.title));
    m_language.LoadSetupText(m_languages.Chosen().file);
}

// The viewer's settings folder and the documents folders; one that cannot be made is passed
// over (the wizard still runs, and writing the settings then fails quietly).
void CTachyWizardApp::CreateFolders() {
    using tachy::SpecialFolder;
    std::filesystem::path appData = SpecialFolder::path(SpecialFolder::Kind::ApplicationData);
    if (appData.empty()) {
        appData = SpecialFolder::fallbackRoot();
    }
    m_paths.appPath = appData / m_option.title;
    std::filesystem::path documents = SpecialFolder::path(SpecialFolder::Kind::Documents);
    if (documents.empty()) {
        documents = SpecialFolder::fallbackRoot();
    }
    m_paths.documentFolder = documents / "TachyPlayerDoc";
    m_paths.backupFolder = m_paths.documentFolder / "backup";
    m_paths.viewerSetupFolder = m_paths.documentFolder / "viewersetup";
    for (const auto& folder : {m_paths.appPath, m_paths.documentFolder, m_paths.backupFolder,
                               m_paths.viewerSetupFolder}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
    }
}

void CTachyWizardApp::ExitInstance() {
    m_language.UnloadSetupText();
}
