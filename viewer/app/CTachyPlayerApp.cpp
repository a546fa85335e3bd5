#include "viewer/app/CTachyPlayerApp.h"

#include "platform/text/CodePage.h"

#include "platform/folders/SpecialFolder.h"
#include "platform/fs/DirectoryListing.h"
#include "platform/ipc/NamedMutex.h"
#include "util/CUtilReg.h"

#include <system_error>

namespace {

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

CTachyPlayerApp::CTachyPlayerApp() = default;

CTachyPlayerApp::~CTachyPlayerApp() {
    ExitInstance();
}

CTachyPlayerApp::Start CTachyPlayerApp::InitInstance(const std::filesystem::path& programFolder, QString& message) {
    m_paths.programFolder = programFolder;
    if (m_paths.executableFolder.empty()) {
        m_paths.executableFolder = programFolder;
    }
    m_paths.optionFolder = programFolder / "_option";
    if (!m_option.Load(m_paths.optionFolder)) {
        message = QStringLiteral("option file is missing");
        return Start::Failed;
    }
    // One viewer per product: a second one leaves without a word.
    m_instance = std::make_unique<tachy::NamedMutex>(m_option.title);
    if (m_instance->alreadyExists() || !m_instance->isOwner()) {
        return Start::Failed;
    }
    switch (LoadSkin()) {
    case SkinLoad::NoImages:
        message = QStringLiteral("There are no image files. This program is going to be closed");
        return Start::Failed;
    case SkinLoad::NoPositions:
        return Start::Failed;
    case SkinLoad::Loaded:
        break;
    }
    SelectLanguage();
    CreateFolders();
    // The rules are read with the default depth here; the main window applies the
    // "SearchDepth" preference once it has read the viewer's settings file.
    if (!ListNameRules(kDefaultSearchDepth)) {
        return Start::Failed;
    }
    m_context.modelCode = m_option.productId;
    m_context.images = &m_images;
    m_context.positions = &m_positions;
    m_context.language = &m_language;
    return Start::Ready;
}

// Images, bitmaps and icons from the skin's image list, then the window positions. The skin's
// double-size pictures are used where the screens show the main window larger than its design
// size (a HiDPI screen, or a window that can be maximised beyond the design).
CTachyPlayerApp::SkinLoad CTachyPlayerApp::LoadSkin() {
    const std::filesystem::path skinRoot = m_paths.programFolder / m_option.skinRootDir;
    const QString root = toQString(skinRoot);
    const QString images = toQString(skinRoot / m_option.skinImageFileName);
    const int imageList = m_images.LoadImageFile(root, images);
    m_images.LoadBitmapFile(root, images);
    m_images.LoadIconFile(root, images);
    if (imageList == 0) {
        return SkinLoad::NoImages;
    }
    if (m_positions.LoadInfo(root, toQString(skinRoot / m_option.skinInfoFileName)) == 0) {
        return SkinLoad::NoPositions;
    }
    const _WIN_POS* frame = m_positions.GetWinPos(QStringLiteral("Main Frame"));
    m_images.SetPictureScale(
        CExImageManager::ScreenPictureScale(QSize(frame->width, frame->height)));
    return SkinLoad::Loaded;
}

std::string CTachyPlayerApp::ProfileKey() const {
    return "Software\\" + m_option.title;
}

void CTachyPlayerApp::SelectLanguage() {
    m_languages.Build(toQString(m_paths.programFolder / m_option.langFolder), m_language);
    CUtilReg registry;
    const auto profileId = static_cast<std::uint16_t>(registry.ReadRegDWORD(ProfileKey() + "\\Language", "ID", 0));
    m_languages.Select(profileId, LanguageTable::SystemLanguageId());
    if (const LanguageEntry* entry = m_languages.CurrentEntry()) {
        m_language.LoadTextInfo(entry->file);
        m_language.LoadFontInfo(entry->file);
        // Texts the recorder writes in the legacy code page (its version, the settings file's
        // names) are read in the one of the chosen language.
        tachy::text::setAnsiCodePage(tachy::text::ansiCodePageForLanguage(entry->id));
    }
}

bool CTachyPlayerApp::ChangeLanguage(std::uint16_t id) {
    CUtilReg registry;
    registry.WriteRegDWORD(ProfileKey() + "\\Language", "ID", id);
    m_language.UnloadTextInfo();
    SelectLanguage();
    return m_languages.CurrentEntry() != nullptr;
}

// The per-user folders; one that cannot be made is passed over.
void CTachyPlayerApp::CreateFolders() {
    using tachy::SpecialFolder;
    std::filesystem::path appData = SpecialFolder::path(SpecialFolder::Kind::ApplicationData);
    if (appData.empty()) {
        appData = SpecialFolder::fallbackRoot();
    }
    m_paths.appPath = appData / m_option.title;
    m_paths.logFolder = m_paths.appPath / "log";
    std::filesystem::path documents = SpecialFolder::path(SpecialFolder::Kind::Documents);
    if (documents.empty()) {
        documents = SpecialFolder::fallbackRoot();
    }
    m_paths.documentFolder = documents / "TachyPlayerDoc";
    m_paths.backupFolder = m_paths.documentFolder / "backup";
    m_paths.recoveryFolder = m_paths.documentFolder / "recovery";
    for (const auto& folder : {m_paths.appPath, m_paths.logFolder, m_paths.documentFolder, m_paths.backupFolder,
                               m_paths.recoveryFolder}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
    }
}

bool CTachyPlayerApp::ListNameRules(int searchDepth) {
    m_ruleFiles.clear();
    for (const auto& entry : tachy::DirectoryListing::list(m_paths.optionFolder, "FileNameRule_*.ini")) {
        if (!entry.isDirectory) {
            m_ruleFiles.push_back(m_paths.optionFolder / entry.name);
        }
    }
    SetSearchDepth(searchDepth);
    return !m_rules.empty();
}

void CTachyPlayerApp::SetSearchDepth(int depth) {
    m_rules.clear();
    for (const auto& file : m_ruleFiles) {
        m_rules.push_back(naming::ReadNameFormat(file, depth));
    }
}

void CTachyPlayerApp::ExitInstance() {
    m_images.UnloadImageFile();
    m_images.UnloadBitmapFile();
    m_images.UnloadIconFile();
    m_positions.UnloadInfo();
    m_language.UnloadTextInfo();
}
