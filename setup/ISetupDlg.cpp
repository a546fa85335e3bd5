#include "setup/ISetupDlg.h"

#include "platform/text/CodePage.h"
#include "setup/SetupFlowLayout.h"
#include "setup/SetupMessageBox.h"
#include "setupfile/SetupTextFields.h"
#include "setupfile/TimeZoneList.h"
#include "skinres/CExLangManager.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using tachy::setupfile::SetupByteSetting;
using tachy::setupfile::SetupControl;

ISetupDlg::ISetupDlg(const tachy::setupfile::ISetupPageModel& model,
                     tachy::setupfile::SetupBuffer& working, const CExLangManager& language,
                     QWidget* parent)
    : QWidget(parent), m_model(model), m_working(working), m_language(language) {}

ISetupDlg::~ISetupDlg() = default;

QString ISetupDlg::ButtonName(int offset, int choice) {
    return QStringLiteral("byte%1_%2").arg(offset).arg(choice);
}

QString ISetupDlg::ListName(int offset) {
    return QStringLiteral("byte%1_list").arg(offset);
}

QString ISetupDlg::Text(const QString& key) const {
    return setup::SetupText(m_language, key.toLatin1().constData());
}

void ISetupDlg::AddRelabel(std::function<void()> relabel) {
    relabel();
    m_relabel.push_back(std::move(relabel));
}

QVBoxLayout* ISetupDlg::AddColumn(QHBoxLayout* columns) {
    auto* column = new QVBoxLayout; // owned by `columns`
    column->setSpacing(8);
    columns->addLayout(column, 1);
    return column;
}

QVBoxLayout* ISetupDlg::AddGroup(QVBoxLayout* column, const QString& key) {
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("group:") + key);
    AddRelabel([this, box, key] { box->setTitle(Text(key)); });
    auto* layout = new QVBoxLayout(box); // owned by the box
    layout->setContentsMargins(10, 6, 10, 8);
    layout->setSpacing(3);
    column->addWidget(box);
    return layout;
}

void ISetupDlg::AddSetting(QVBoxLayout* group, int offset, const QString& sectionKey,
                           const std::vector<QString>& itemKeys,
                           const std::vector<QString>& listKeys) {
    const SetupByteSetting* setting = m_model.Find(offset);
    if (setting == nullptr) {
        return;
    }
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("section:") + sectionKey);
    AddRelabel([this, label, sectionKey] { label->setText(Text(sectionKey)); });
    auto* row = new QHBoxLayout; // owned by `group`
    row->setSpacing(10);
    switch (setting->control) {
    case SetupControl::List:
    case SetupControl::TimeZoneList:
        // A list sits beside its label.
        row->addWidget(label, 1);
        row->addWidget(MakeList(offset, listKeys.empty() ? itemKeys : listKeys,
                                setting->control == SetupControl::TimeZoneList));
        group->addLayout(row);
        return;
    case SetupControl::Buttons:
        row->addWidget(MakeButtons(offset, itemKeys), 1);
        break;
    case SetupControl::ButtonsAndList:
        row->addWidget(MakeButtons(offset, itemKeys), 1);
        row->addWidget(MakeList(offset, listKeys.empty() ? itemKeys : listKeys, false), 0,
                       Qt::AlignTop);
        break;
    }
    group->addWidget(label);
    group->addLayout(row);
}

QWidget* ISetupDlg::MakeButtons(int offset, const std::vector<QString>& keys) {
    auto* holder = new QWidget(this);
    auto* layout = new SetupFlowLayout(holder, 12, 2); // owned by the holder
    auto* buttons = new QButtonGroup(holder);
    for (std::size_t choice = 0; choice < keys.size(); ++choice) {
        auto* button = new QRadioButton(holder);
        button->setObjectName(ButtonName(offset, static_cast<int>(choice)));
        const QString& key = keys[choice];
        AddRelabel([this, button, key] { button->setText(Text(key)); });
        buttons->addButton(button, static_cast<int>(choice));
        layout->addWidget(button);
    }
    connect(buttons, &QButtonGroup::idClicked, this,
            [this, offset](int choice) { OnChoice(offset, choice); });
    m_buttons[offset] = buttons;
    return holder;
}

QComboBox* ISetupDlg::MakeList(int offset, const std::vector<QString>& keys, bool timeZones) {
    auto* list = new QComboBox(this);
    list->setObjectName(ListName(offset));
    if (timeZones) {
        for (const std::string_view zone : tachy::setupfile::TimeZoneList()) {
            list->addItem(QString::fromUtf8(zone.data(), static_cast<int>(zone.size())));
        }
    } else {
        for (std::size_t item = 0; item < keys.size(); ++item) {
            list->addItem(QString());
        }
        AddRelabel([this, list, keys] {
            for (std::size_t item = 0; item < keys.size(); ++item) {
                list->setItemText(static_cast<int>(item), Text(keys[item]));
            }
        });
    }
    connect(list, &QComboBox::currentIndexChanged, this, [this, offset](int index) {
        if (!m_showing && index >= 0) {
            OnChoice(offset, index);
        }
    });
    m_lists[offset] = list;
    return list;
}

void ISetupDlg::AddLabel(QVBoxLayout* group, const QString& key) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("section:") + key);
    AddRelabel([this, label, key] { label->setText(Text(key)); });
    group->addWidget(label);
}

QLineEdit* ISetupDlg::AddTextField(QVBoxLayout* group, const QString& sectionKey,
                                   tachy::setupfile::SetupTextField field) {
    auto* row = new QHBoxLayout; // owned by `group`
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("section:") + sectionKey);
    AddRelabel([this, label, sectionKey] { label->setText(Text(sectionKey)); });
    auto* line = new QLineEdit(this);
    line->setReadOnly(true);
    line->setObjectName(QStringLiteral("text%1").arg(static_cast<int>(field)));
    row->addWidget(label, 1);
    row->addWidget(line, 1);
    group->addLayout(row);
    m_textFields.emplace_back(line, field);
    return line;
}

void ISetupDlg::OnChoice(int offset, int value) {
    if (!m_model.SetChoice(m_working, offset, value)) {
        return;
    }
    // A byte shown by buttons and a list shows the same value in both.
    if (const SetupByteSetting* setting = m_model.Find(offset)) {
        ShowSetting(*setting);
    }
}

void ISetupDlg::ShowSetting(const SetupByteSetting& setting) {
    const bool wasShowing = m_showing;
    m_showing = true;
    const int value = m_model.ShownValue(m_working, setting);
    if (const auto found = m_buttons.find(setting.offset); found != m_buttons.end()) {
        QButtonGroup* buttons = found->second;
        if (QAbstractButton* button = buttons->button(value)) {
            button->setChecked(true);
        } else {
            // A stored value with no button of its own shows no choice.
            buttons->setExclusive(false);
            for (QAbstractButton* each : buttons->buttons()) {
                each->setChecked(false);
            }
            buttons->setExclusive(true);
        }
    }
    if (const auto found = m_lists.find(setting.offset); found != m_lists.end()) {
        found->second->setCurrentIndex(value < found->second->count() ? value : -1);
    }
    m_showing = wasShowing;
}

void ISetupDlg::ShowValues() {
    m_model.ApplyLoadRanges(m_working);
    for (const SetupByteSetting& setting : m_model.Settings()) {
        ShowSetting(setting);
    }
    const int codePage = tachy::text::ansiCodePage();
    for (const auto& [line, field] : m_textFields) {
        line->setText(
            QString::fromStdString(tachy::setupfile::ReadTextField(m_working, field, codePage)));
    }
}

void ISetupDlg::ReloadTexts() {
    for (const auto& relabel : m_relabel) {
        relabel();
    }
    ShowValues();
}
