#pragma once
// The settings program's drive selection: the removable cards (drive, name, capacity, used and
// free space) in the viewer's card list; OK or a double-click takes the selected card's root.

#include "platform/volume/VolumeTarget.h"

#include <QDialog>
#include <QString>

class CExLangManager;
class QPushButton;

namespace viewer::appdlg {
class RemovableDriveList;
}

class CSetupDriveDlg : public QDialog {
public:
    CSetupDriveDlg(const CExLangManager& language, tachy::VolumeEnvironment environment,
                   QWidget* parent = nullptr);

    // The card chosen with OK (its mount point); empty when none was.
    const QString& Drive() const { return m_drive; }
    viewer::appdlg::RemovableDriveList* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }

private:
    void OnOk();

    QString m_drive;
    viewer::appdlg::RemovableDriveList* m_list = nullptr; // child
    QPushButton* m_ok = nullptr;                          // child
};
