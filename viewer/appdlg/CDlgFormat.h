#pragma once
// The format dialog opened from the About box: the removable cards, whether to keep the
// recorder's settings file, and Format, enabled only while a card is selected. The card is
// formatted by the system formatter with 32 KiB clusters.

#include "viewer/appdlg/CardFormatFlow.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QDialog>
#include <QString>

class CExLangManager;
class QPushButton;
class QRadioButton;

namespace viewer::appdlg {

class RemovableDriveList;

class CDlgFormat : public QDialog {
public:
    CDlgFormat(const CExLangManager& language, CardFormatSetup setup, dialogs::AskUser ask,
               QWidget* parent);
    ~CDlgFormat() override;

    static constexpr std::uint32_t kClusterBytes = 32768;

    RemovableDriveList* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }
    QRadioButton* KeepOption() const { return m_keep; }
    QRadioButton* EraseOption() const { return m_erase; }

    // The card formatted by the last Format, empty when none was (not asked, refused, failed).
    const QString& FormattedDrive() const { return m_formatted; }

    // Button 1: asks, formats the selected card and closes.
    void FormatSelected();

private:
    void UpdateOk();

    const CExLangManager& m_language;
    CardFormatSetup m_setup;
    dialogs::AskUser m_ask;
    RemovableDriveList* m_list = nullptr; // child, list 1010
    QRadioButton* m_keep = nullptr;       // child, 1036
    QRadioButton* m_erase = nullptr;      // child, 1037
    QPushButton* m_ok = nullptr;          // child
    QString m_formatted;
};

} // namespace viewer::appdlg
