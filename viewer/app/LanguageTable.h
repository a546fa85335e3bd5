#pragma once
// The installed languages: every "lang*.ini" under the language root (depth first, a folder's
// files before its sub-folders) that names a language identifier, and the choice among them.

#include <QString>
#include <cstdint>
#include <vector>

class CExLangManager;

struct LanguageEntry {
    QString file;
    QString name;
    std::uint16_t id = 0;
    QString folder;
};

class LanguageTable {
public:
    static constexpr std::uint16_t kEnglish = 1033;

    // Lists the language files under `root`.
    void Build(const QString& root, const CExLangManager& manager);
    // Chooses the language: the only one; else the profile's identifier (0: the system's), else
    // English, else the built-in English fallback added to the table. Answers its index.
    int Select(std::uint16_t profileId, std::uint16_t systemId);

    const std::vector<LanguageEntry>& Entries() const { return m_entries; }
    int Current() const { return m_current; }
    const LanguageEntry* CurrentEntry() const;

    // The Windows identifier of the desktop's language (English, German and Korean known).
    static std::uint16_t SystemLanguageId();

private:
    void Search(const QString& folder, const CExLangManager& manager, int depth);
    int AddFallback();

    QString m_root;
    std::vector<LanguageEntry> m_entries;
    int m_current = -1;
};
