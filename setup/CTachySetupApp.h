#pragma once
// The settings program's application object: reads the installation's option file, keeps the
// program to one running instance, creates the user folders, chooses the language (the one the
// viewer stores) and loads the skin's icon and texts before the main dialog opens.

#include "setupfile/CSetupOption.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "viewer/app/LanguageTable.h"

#include <QIcon>
#include <filesystem>
#include <memory>

namespace tachy {
class NamedMutex;
}

class CTachySetupApp {
public:
    struct Paths {
        std::filesystem::path programFolder;
        std::filesystem::path optionFolder;
        std::filesystem::path workFolder; // application data + "Title": repair and format copies
        std::filesystem::path documentFolder; // documents + "TachyPlayerDoc"
        std::filesystem::path backupFolder;
    };

    enum class Start {
        Ready,
        NoOption,       // no usable option file: no page can be made, the program closes
        AlreadyRunning, // another instance runs: leave silently
    };

    CTachySetupApp();
    ~CTachySetupApp();
    CTachySetupApp(const CTachySetupApp&) = delete;
    CTachySetupApp& operator=(const CTachySetupApp&) = delete;

    Start InitInstance(const std::filesystem::path& programFolder);

    // Chooses the language again from the stored identifier and loads its texts; also sets the
    // process's ANSI code page to the language's.
    void SelectLanguage();

    const tachy::setupfile::CSetupOption& Option() const { return m_option; }
    const Paths& GetPaths() const { return m_paths; }
    const CExLangManager& Language() const { return m_language; }
    const LanguageTable& Languages() const { return m_languages; }
    const QIcon& Icon() const { return m_icon; }
    // What the settings file must carry, in the chosen language's code page.
    tachy::setupfile::SetupIdentity Identity() const;
    // The registry key under which the viewer stores the language ("Software\<Title>\Language").
    std::string LanguageKey() const;

private:
    void CreateFolders();
    void LoadSkinIcon();

    tachy::setupfile::CSetupOption m_option;
    Paths m_paths;
    std::unique_ptr<tachy::NamedMutex> m_instance;
    CExImageManager m_images;
    CExLangManager m_language;
    LanguageTable m_languages;
    QIcon m_icon;
};
