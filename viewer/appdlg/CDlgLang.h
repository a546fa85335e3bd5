#pragma once
// The language dialog: a combo box with the system's language first and then every installed
// language by its display name. The stored choice is the profile's language identifier: 0 for
// the system's language, else the identifier of the chosen language.

#include "viewer/app/LanguageTable.h"

#include <QDialog>
#include <cstdint>
#include <vector>

class CExLangManager;
class QComboBox;

namespace viewer::appdlg {

class CDlgLang : public QDialog {
public:
    CDlgLang(const CExLangManager& language, const std::vector<LanguageEntry>& languages,
             std::uint16_t storedId, QWidget* parent);

    // The item to select for a stored identifier: 0 for 0 or an unknown identifier, else the
    // item after the first language with that identifier.
    static int ItemForId(const std::vector<LanguageEntry>& languages, std::uint16_t storedId);
    // The identifier to store for an item: 0 for item 0, else that language's identifier.
    static std::uint16_t IdForItem(const std::vector<LanguageEntry>& languages, int item);

    int SelectedItem() const;
    std::uint16_t SelectedId() const { return IdForItem(m_languages, SelectedItem()); }
    QComboBox* Choice() const { return m_choice; }

private:
    std::vector<LanguageEntry> m_languages;
    QComboBox* m_choice = nullptr; // child
};

} // namespace viewer::appdlg
