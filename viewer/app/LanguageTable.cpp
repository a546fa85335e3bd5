#include "viewer/app/LanguageTable.h"

#include "platform/fs/DirectoryListing.h"
#include "skinres/CExLangManager.h"

#include <QLocale>

namespace {

// Folders deeper than this are not searched (a link loop cannot recurse without end).
constexpr int kMaxDepth = 8;

} // namespace

void LanguageTable::Build(const QString& root, const CExLangManager& manager) {
    m_root = root;
    m_entries.clear();
    m_current = -1;
    Search(root, manager, 0);
}

void LanguageTable::Search(const QString& folder, const CExLangManager& manager, int depth) {
    const std::filesystem::path path = folder.toStdString();
    for (const auto& entry : tachy::DirectoryListing::list(path, "lang*.ini")) {
        if (entry.isDirectory) {
            continue;
        }
        LanguageEntry language;
        language.file = QString::fromStdString((path / entry.name).string());
        language.folder = folder;
        if (manager.GetLangInfo(language.file, language.name, language.id) != 0 && language.id != 0) {
            m_entries.push_back(language);
        }
    }
    if (depth >= kMaxDepth) {
        return;
    }
    for (const auto& entry : tachy::DirectoryListing::list(path, "*")) {
        if (entry.isDirectory) {
            Search(QString::fromStdString((path / entry.name).string()), manager, depth + 1);
        }
    }
}

int LanguageTable::AddFallback() {
    LanguageEntry fallback;
    fallback.file = m_root + QStringLiteral("/ENG/lang_eng.ini");
    fallback.name = QStringLiteral("English");
    fallback.id = kEnglish;
    fallback.folder = m_root + QStringLiteral("/ENG");
    m_entries.push_back(fallback);
    return static_cast<int>(m_entries.size()) - 1;
}

int LanguageTable::Select(std::uint16_t profileId, std::uint16_t systemId) {
    if (m_entries.empty()) {
        m_current = AddFallback();
        return m_current;
    }
    if (m_entries.size() == 1) {
        m_current = 0;
        return m_current;
    }
    const std::uint16_t wanted = profileId == 0 ? systemId : profileId;
    for (const std::uint16_t id : {wanted, kEnglish}) {
        for (std::size_t index = 0; index < m_entries.size(); ++index) {
            if (m_entries[index].id == id) {
                m_current = static_cast<int>(index);
                return m_current;
            }
        }
    }
    m_current = AddFallback();
    return m_current;
}

const LanguageEntry* LanguageTable::CurrentEntry() const {
    return m_current >= 0 && m_current < static_cast<int>(m_entries.size())
               ? &m_entries[static_cast<std::size_t>(m_current)]
               : nullptr;
}

std::uint16_t LanguageTable::SystemLanguageId() {
    switch (QLocale::system().language()) {
    case QLocale::German:
        return 1031;
    case QLocale::Korean:
        return 1042;
    case QLocale::English:
        return kEnglish;
    default:
        return 0;
    }
}
