#include "setup/CSetupFormatDlg.h"

#include "setup/SetupMessageBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using setup::SetupText;

namespace {

// A list with one entry, shown as the choice that will be used.
QComboBox* FixedChoice(const QString& text, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->addItem(text);
    box->setEnabled(false);
    return box;
}

} // namespace

CSetupFormatDlg::CSetupFormatDlg(const CExLangManager& language, const QString& drive,
                                 const QString& label, int clusterKilobytes, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("setupFormat"));
    setWindowTitle(SetupText(language, "format title"));
    auto* form = new QFormLayout;
    auto* driveText = new QLineEdit(drive, this);
    driveText->setReadOnly(true);
    driveText->setObjectName(QStringLiteral("format drive"));
    m_label = new QLineEdit(label.left(kLabelLength), this);
    m_label->setObjectName(QStringLiteral("format label"));
    m_label->setMaxLength(kLabelLength);
    m_fileSystem = FixedChoice(QStringLiteral("FAT32"), this);
    m_cluster = FixedChoice(QString::number(clusterKilobytes) + QLatin1Char('K'), this);
    form->addRow(SetupText(language, "format drive"), driveText);
    form->addRow(SetupText(language, "format label"), m_label);
    form->addRow(SetupText(language, "format filesystem"), m_fileSystem);
    form->addRow(SetupText(language, "format cluster"), m_cluster);

    m_ok = new QPushButton(SetupText(language, "common ok"), this);
    m_ok->setObjectName(QStringLiteral("common ok"));
    m_cancel = new QPushButton(SetupText(language, "common cancel"), this);
    m_cancel->setObjectName(QStringLiteral("common cancel"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

QString CSetupFormatDlg::Label() const {
    return m_label->text().trimmed();
}
