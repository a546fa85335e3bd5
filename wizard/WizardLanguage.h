#pragma once
// The wizard's choice of language: the language files under the language root (found as the
// viewer finds them), then the identifier the viewer stored, else English (1033), else the
// built-in English file path added under the name "English".

#include "viewer/app/LanguageTable.h"

#include <cstdint>
#include <string>

class CExLangManager;

class WizardLanguage {
public:
    static constexpr std::uint16_t kEnglish = 1033;

    // Lists the files under `root` and chooses among them for `wantedId`.
    void Choose(const QString& root, const CExLangManager& manager, std::uint16_t wantedId);

    // The identifier the viewer stored for the product `title` (0 when none).
    static std::uint16_t StoredLanguageId(const std::string& title);

    const std::vector<LanguageEntry>& Entries() const { return m_entries; }
    const LanguageEntry& Chosen() const { return m_entries[m_chosen]; }

private:
    std::vector<LanguageEntry> m_entries;
    std::size_t m_chosen = 0;
};
