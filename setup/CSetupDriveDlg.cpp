#include "setup/CSetupDriveDlg.h"

#include "setup/SetupMessageBox.h"
#include "viewer/appdlg/RemovableDriveList.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

CSetupDriveDlg::CSetupDriveDlg(const CExLangManager& language, tachy::VolumeEnvironment environment,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CSetupDriveDlg"));
    setWindowTitle(setup::SetupText(language, "dlg drive title"));
    resize(560, 280);
    auto* layout = new QVBoxLayout(this); // owned by this dialog
    m_list = new viewer::appdlg::RemovableDriveList(language, std::move(environment), this);
    m_list->Refill();
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(setup::SetupText(language, "common ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(setup::SetupText(language, "common cancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSetupDriveDlg::OnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CSetupDriveDlg::OnOk);
}

void CSetupDriveDlg::OnOk() {
    m_drive = m_list->SelectedDrive();
    accept();
}
