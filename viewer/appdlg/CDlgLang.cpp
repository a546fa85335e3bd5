#include "viewer/appdlg/CDlgLang.h"

#include "viewer/dialogs/DialogTexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer::appdlg {

namespace {

QString Text(const CExLangManager& language, const char* key) {
    return viewer::dialogs::DialogTexts::Text(language, key);
}

} // namespace

CDlgLang::CDlgLang(const CExLangManager& language, const std::vector<LanguageEntry>& languages,
                   std::uint16_t storedId, QWidget* parent)
    : QDialog(parent), m_languages(languages) {
    setWindowTitle(Text(language, "dlg lang title"));
    auto* layout = new QVBoxLayout(this); // owned by this dialog
    auto* label = new QLabel(Text(language, "dlg lang section"), this);
    label->setObjectName(QStringLiteral("1032"));
    layout->addWidget(label);
    m_choice = new QComboBox(this);
    m_choice->addItem(Text(language, "dlg lang autolang"));
    for (const LanguageEntry& entry : m_languages) {
        m_choice->addItem(entry.name);
    }
    m_choice->setCurrentIndex(ItemForId(m_languages, storedId));
    label->setBuddy(m_choice);
    layout->addWidget(m_choice);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Text(language, "common ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(Text(language, "common cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CDlgLang::ItemForId(const std::vector<LanguageEntry>& languages, std::uint16_t storedId) {
    if (storedId == 0) {
        return 0;
    }
    for (std::size_t i = 0; i < languages.size(); ++i) {
        if (languages[i].id == storedId) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

std::uint16_t CDlgLang::IdForItem(const std::vector<LanguageEntry>& languages, int item) {
    if (item <= 0 || item > static_cast<int>(languages.size())) {
        return 0;
    }
    return languages[static_cast<std::size_t>(item - 1)].id;
}

int CDlgLang::SelectedItem() const {
    return m_choice->currentIndex();
}

} // namespace viewer::appdlg
