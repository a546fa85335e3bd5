#include "viewer/appdlg/CDlgFormat.h"

#include "viewer/appdlg/FormatReportText.h"
#include "viewer/appdlg/RemovableDriveList.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace viewer::appdlg {

namespace {

QString Text(const CExLangManager& language, const char* key) {
    return viewer::dialogs::DialogTexts::Text(language, key);
}

} // namespace

CDlgFormat::CDlgFormat(const CExLangManager& language, CardFormatSetup setup, dialogs::AskUser ask,
                       QWidget* parent)
    : QDialog(parent), m_language(language), m_setup(std::move(setup)), m_ask(std::move(ask)) {
    setWindowTitle(Text(language, "dlg format title"));
    auto* layout = new QVBoxLayout(this); // owned by this dialog
    auto* group = new QGroupBox(Text(language, "dlg format option"), this);
    group->setObjectName(QStringLiteral("1035"));
    auto* options = new QVBoxLayout(group); // owned by the group
    m_keep = new QRadioButton(Text(language, "dlg format option0"), group);
    m_keep->setObjectName(QStringLiteral("1036"));
    m_keep->setChecked(true);
    m_erase = new QRadioButton(Text(language, "dlg format option1"), group);
    m_erase->setObjectName(QStringLiteral("1037"));
    options->addWidget(m_keep);
    options->addWidget(m_erase);
    layout->addWidget(group);
    m_list = new RemovableDriveList(language, m_setup.environment, this);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(Text(language, "dlg format ok"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(Text(language, "dlg format cancel"), QDialogButtonBox::RejectRole);
    connect(m_ok, &QPushButton::clicked, this, [this] { FormatSelected(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 320);

    m_list->SetRefilled([this] { UpdateOk(); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateOk(); });
    m_list->Refill();
}

CDlgFormat::~CDlgFormat() = default;

void CDlgFormat::UpdateOk() {
    m_ok->setEnabled(!m_list->SelectedDrive().isEmpty());
}

void CDlgFormat::FormatSelected() {
    const QString question = Text(m_language, "dlg format message0") + QStringLiteral("\r\n") +
                             Text(m_language, "dlg format message1");
    if (!m_ask("common warning", "dlg format message0", question, true)) {
        return;
    }
    const QString drive = m_list->SelectedDrive();
    if (drive.isEmpty()) {
        m_ask("common info", "dlg format message4", Text(m_language, "dlg format message4"), false);
        return;
    }
    CardFormatRequest request;
    request.drive = drive.toStdString();
    request.keepSettingsFile = m_keep->isChecked();
    request.formatType = 0;
    request.clusterBytes = kClusterBytes;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    QApplication::restoreOverrideCursor();
    if (report.result == CardFormatResult::Formatted ||
        report.result == CardFormatResult::WriteBackFailed) {
        m_formatted = drive;
    }
    const FormatMessage message = FormatReportText::For(m_language, report, false);
    m_ask(message.captionKey, message.textKey, message.text, false);
    accept();
}

} // namespace viewer::appdlg
