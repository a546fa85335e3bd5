#include "wizard/WizardLanguage.h"

#include "platform/registry/Registry.h"

void WizardLanguage::Choose(const QString& root, const CExLangManager& manager,
                            std::uint16_t wantedId) {
    // The viewer's listing keeps only files that name an identifier, so that a file whose
    // language information cannot be read is never chosen.
    LanguageTable table;
    table.Build(root, manager);
    m_entries = table.Entries();
    for (const std::uint16_t id : {wantedId, kEnglish}) {
        for (std::size_t index = 0; index < m_entries.size(); ++index) {
            if (m_entries[index].id == id) {
                m_chosen = index;
                return;
            }
        }
    }
    LanguageEntry fallback;
    fallback.file = root + QStringLiteral("/ENG/lang_eng.ini");
    fallback.name = QStringLiteral("English");
    fallback.id = kEnglish;
    fallback.folder = root + QStringLiteral("/ENG");
    m_entries.push_back(fallback);
    m_chosen = m_entries.size() - 1;
}

std::uint16_t WizardLanguage::StoredLanguageId(const std::string& title) {
    // Read without creating the value: the wizard leaves the viewer's profile as it found it.
    const tachy::Registry registry;
    return static_cast<std::uint16_t>(
        registry.readDword("Software\\" + title + "\\TachyPlayer\\Language", "ID").value_or(0));
}
