#include "setup/CTachySetupApp.h"

#include "platform/folders/SpecialFolder.h"
#include "platform/ipc/NamedMutex.h"
#include "platform/text/CodePage.h"
#include "util/CUtilReg.h"

#include <system_error>

namespace {

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::filesystem::path folderOr(tachy::SpecialFolder::Kind kind) {
    std::filesystem::path folder = tachy::SpecialFolder::path(kind);
    return folder.empty() ? tachy::SpecialFolder::fallbackRoot() : folder;
}

} // namespace

CTachySetupApp::CTachySetupApp() = default;

CTachySetupApp::~CTachySetupApp() {
    m_images.UnloadIconFile();
    m_language.UnloadSetupText();
    m_language.UnloadTextInfo();
}

CTachySetupApp::Start CTachySetupApp::InitInstance(const std::filesystem::path& programFolder) {
    m_paths.programFolder = programFolder;
    m_paths.optionFolder = programFolder / "_option";
    if (!m_option.Load(m_paths.optionFolder)) {
        return Start::NoOption;
    }
    // One settings program at a time: a second start leaves without a word.
    m_instance = std::make_unique<tachy::NamedMutex>(m_option.setupTitle);
    if (m_instance->alreadyExists() || !m_instance->isOwner()) {
        return Start::AlreadyRunning;
    }
    CreateFolders();
    SelectLanguage();
    LoadSkinIcon();
    return Start::Ready;
}

// The work, documents and backup folders; one that cannot be made is passed over.
void CTachySetupApp::CreateFolders() {
    using tachy::SpecialFolder;
    m_paths.workFolder = folderOr(SpecialFolder::Kind::ApplicationData) / m_option.title;
    m_paths.documentFolder = folderOr(SpecialFolder::Kind::Documents) / "TachyPlayerDoc";
    m_paths.backupFolder = m_paths.documentFolder / "backup";
    for (const auto& folder : {m_paths.workFolder, m_paths.documentFolder, m_paths.backupFolder}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
    }
}

std::string CTachySetupApp::LanguageKey() const {
    return "Software\\" + m_option.title + "\\Language";
}

void CTachySetupApp::SelectLanguage() {
    m_languages = LanguageTable();
    m_languages.Build(toQString(m_paths.programFolder / m_option.langFolder), m_language);
    CUtilReg registry;
    const auto storedId = static_cast<std::uint16_t>(registry.ReadRegDWORD(LanguageKey(), "ID", 0));
    m_languages.Select(storedId, LanguageTable::SystemLanguageId());
    m_language.UnloadSetupText();
    if (const LanguageEntry* entry = m_languages.CurrentEntry()) {
        m_language.LoadFontInfo(entry->file);
        m_language.LoadSetupText(entry->file);
        tachy::text::setAnsiCodePage(tachy::text::ansiCodePageForLanguage(entry->id));
    }
}

tachy::setupfile::SetupIdentity CTachySetupApp::Identity() const {
    return m_option.Identity(tachy::text::ansiCodePage());
}

void CTachySetupApp::LoadSkinIcon() {
    const std::filesystem::path skinRoot = m_paths.programFolder / m_option.skinRootDir;
    m_images.LoadIconFile(toQString(skinRoot), toQString(skinRoot / m_option.skinImageFileName));
    if (const QIcon* icon = m_images.GetIconFile(QStringLiteral("app_icon"))) {
        m_icon = *icon;
    }
}
