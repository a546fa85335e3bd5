#pragma once
// The settings program's format dialog: the card's drive, a volume label the user may edit, and
// the file system and cluster size the format will use (shown, not chosen). OK starts the format.

#include <QDialog>
#include <QString>

class CExLangManager;
class QComboBox;
class QLineEdit;
class QPushButton;

class CSetupFormatDlg : public QDialog {
public:
    // The most characters a FAT volume label holds.
    static constexpr int kLabelLength = 11;

    CSetupFormatDlg(const CExLangManager& language, const QString& drive, const QString& label,
                    int clusterKilobytes, QWidget* parent);

    QString Label() const;
    QLineEdit* LabelEdit() const { return m_label; }
    QComboBox* FileSystem() const { return m_fileSystem; }
    QComboBox* Cluster() const { return m_cluster; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    QLineEdit* m_label = nullptr;      // child
    QComboBox* m_fileSystem = nullptr; // child
    QComboBox* m_cluster = nullptr;    // child
    QPushButton* m_ok = nullptr;       // child
    QPushButton* m_cancel = nullptr;   // child
};
