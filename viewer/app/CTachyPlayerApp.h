#pragma once
// The viewer's application object: prepares everything the main window needs before it exists
// (option file, single instance, skin, language, user folders, naming rules) and releases the
// skin and texts at the end.

#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "util/naming/AviNameFormat.h"
#include "viewer/app/COption.h"
#include "viewer/app/LanguageTable.h"
#include "viewer/app/ViewerContext.h"

#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

namespace tachy {
class NamedMutex;
}

class CTachyPlayerApp {
public:
    struct Paths {
        std::filesystem::path programFolder;
        // Where the companion programs (TachySetup, tachyWizard, ffrecovery) are: the program
        // folder in the build tree, the executable's folder once installed.
        std::filesystem::path executableFolder;
        std::filesystem::path optionFolder;
        std::filesystem::path appPath;  // m_strAppPath
        std::filesystem::path logFolder;
        std::filesystem::path documentFolder;
        std::filesystem::path backupFolder;
        std::filesystem::path recoveryFolder;
    };

    enum class Start {
        Ready,
        Failed,  // with a message to show, or silently when the message is empty
    };

    CTachyPlayerApp();
    ~CTachyPlayerApp();
    CTachyPlayerApp(const CTachyPlayerApp&) = delete;
    CTachyPlayerApp& operator=(const CTachyPlayerApp&) = delete;

    // The start-up steps up to running the main window. `message` receives the text to show
    // when the start fails with one.
    Start InitInstance(const std::filesystem::path& programFolder, QString& message);
    void ExitInstance();
    // The running executable's folder, set before InitInstance when it differs from the
    // program folder (an installed viewer: bin/ beside share/tachy/).
    void SetExecutableFolder(const std::filesystem::path& folder) { m_paths.executableFolder = folder; }

    // Selects the language again after the user chose `id` (0: the system's) and loads it.
    bool ChangeLanguage(std::uint16_t id);

    const COption& Option() const { return m_option; }
    const Paths& GetPaths() const { return m_paths; }
    const ViewerContext& Context() const { return m_context; }
    const CExImageManager& Images() const { return m_images; }
    const CExWndPos& Positions() const { return m_positions; }
    const CExLangManager& Language() const { return m_language; }
    const LanguageTable& Languages() const { return m_languages; }
    const std::vector<_AVI_NAME_FORMAT2>& NameRules() const { return m_rules; }
    // The registry key of the viewer's profile values ("Software\<Title>").
    std::string ProfileKey() const;
    static constexpr int kDefaultSearchDepth = 2;
    // The search depth the naming rules are read with (the "SearchDepth" preference).
    void SetSearchDepth(int depth);

private:
    enum class SkinLoad { Loaded, NoImages, NoPositions };
    SkinLoad LoadSkin();
    void SelectLanguage();
    void CreateFolders();
    bool ListNameRules(int searchDepth);

    COption m_option;
    Paths m_paths;
    std::unique_ptr<tachy::NamedMutex> m_instance;
    CExImageManager m_images;
    CExWndPos m_positions;
    CExLangManager m_language;
    LanguageTable m_languages;
    std::vector<std::filesystem::path> m_ruleFiles;
    std::vector<_AVI_NAME_FORMAT2> m_rules;
    ViewerContext m_context;
};
