#pragma once
// A settings page: the controls of one page model's byte table, labelled from the language's
// settings texts. A click or a list selection stores its value in the working copy at once
// (with the mirror byte); "show values" puts the working copy back into the controls.

#include "setupfile/ISetupPageModel.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CExLangManager;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QVBoxLayout;

class ISetupDlg : public QWidget {
    Q_OBJECT

public:
    // `model`, `working` and `language` are borrowed and outlive the page.
    ISetupDlg(const tachy::setupfile::ISetupPageModel& model,
              tachy::setupfile::SetupBuffer& working, const CExLangManager& language,
              QWidget* parent);
    ~ISetupDlg() override;

    const tachy::setupfile::ISetupPageModel& Model() const { return m_model; }

    // Puts the working copy into the controls (the second page first replaces values out of
    // range by their load defaults, so that what is saved is what is shown).
    virtual void ShowValues();
    // Labels every control again from the language's texts, then shows the values.
    virtual void ReloadTexts();

    // The object names of a setting's controls, for scripted runs and tests.
    static QString ButtonName(int offset, int choice);
    static QString ListName(int offset);

protected:
    QVBoxLayout* AddColumn(class QHBoxLayout* columns);
    QVBoxLayout* AddGroup(QVBoxLayout* column, const QString& key);
    // One setting's controls under or beside its section label, by the table's control kind.
    // `itemKeys` label the buttons; `listKeys` the list (the buttons' texts when empty).
    void AddSetting(QVBoxLayout* group, int offset, const QString& sectionKey,
                    const std::vector<QString>& itemKeys,
                    const std::vector<QString>& listKeys = {});
    // A label of its own (a section without a byte of the table).
    void AddLabel(QVBoxLayout* group, const QString& key);
    // A read-only line showing a text field of the file.
    QLineEdit* AddTextField(QVBoxLayout* group, const QString& sectionKey,
                            tachy::setupfile::SetupTextField field);
    // Runs `relabel` now and at every ReloadTexts.
    void AddRelabel(std::function<void()> relabel);
    QString Text(const QString& key) const;

    const tachy::setupfile::ISetupPageModel& m_model;
    tachy::setupfile::SetupBuffer& m_working;
    const CExLangManager& m_language;

private:
    void OnChoice(int offset, int value);
    void ShowSetting(const tachy::setupfile::SetupByteSetting& setting);
    QComboBox* MakeList(int offset, const std::vector<QString>& keys, bool timeZones);
    QWidget* MakeButtons(int offset, const std::vector<QString>& keys);

    std::map<int, QButtonGroup*> m_buttons; // by byte; owned by their widgets
    std::map<int, QComboBox*> m_lists;      // by byte; children of this page
    std::vector<std::pair<QLineEdit*, tachy::setupfile::SetupTextField>> m_textFields;
    std::vector<std::function<void()>> m_relabel;
    bool m_showing = false; // true while ShowValues sets the controls: no clicks to store
};
