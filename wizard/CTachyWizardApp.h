#pragma once
// The wizard's application object: reads the option file, chooses the language and loads its
// settings texts, and creates the user's folders before the wizard dialog runs.

#include "skinres/CExLangManager.h"
#include "wizard/CWizardOption.h"
#include "wizard/WizardLanguage.h"

#include <QString>
#include <filesystem>

class CTachyWizardApp {
public:
    struct Paths {
        std::filesystem::path programFolder;
        std::filesystem::path optionFolder;
        std::filesystem::path appPath;        // the viewer's settings folder
        std::filesystem::path documentFolder; // "TachyPlayerDoc"
        std::filesystem::path backupFolder;
        std::filesystem::path viewerSetupFolder;
    };

    CTachyWizardApp() = default;
    ~CTachyWizardApp();
    CTachyWizardApp(const CTachyWizardApp&) = delete;
    CTachyWizardApp& operator=(const CTachyWizardApp&) = delete;

    // The start-up steps up to the dialog; false with "option file is missing" in `message`
    // when the option file cannot be read.
    bool InitInstance(const std::filesystem::path& programFolder, QString& message);
    void ExitInstance();

    const CWizardOption& Option() const { return m_option; }
    const Paths& GetPaths() const { return m_paths; }
    const CExLangManager& Language() const { return m_language; }
    const WizardLanguage& Languages() const { return m_languages; }

private:
    void SelectLanguage();
    void CreateFolders();

    CWizardOption m_option;
    Paths m_paths;
    CExLangManager m_language;
    WizardLanguage m_languages;
};
