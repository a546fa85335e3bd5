#include "viewer/appdlg/CSelectRemovableDrive.h"

#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/appdlg/FormatReportText.h"
#include "viewer/appdlg/RemovableDriveList.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace viewer::appdlg {

namespace {

constexpr std::uint32_t kSectorBytes = 512;
constexpr std::uint32_t kMostSectorsPerCluster = 128;

QString Text(const CExLangManager& language, const char* key) {
    return viewer::dialogs::DialogTexts::Text(language, key);
}

} // namespace

CardDialogOptions CardDialogOptions::ForViewer(const CTachyPlayerApp& app) {
    CardDialogOptions options;
    options.productId = app.Option().productId;
    options.formatType = app.Option().formatType;
    options.format.setupDir = app.Option().setupDir;
    options.format.setupFileName = app.Option().setupFileName;
    options.format.workFolder = app.GetPaths().appPath;
    return options;
}

CSelectRemovableDrive::CSelectRemovableDrive(const CExLangManager& language,
                                             CardDialogOptions options, dialogs::AskUser ask,
                                             CardDialogHooks hooks, QWidget* parent)
    : QDialog(parent), m_language(language), m_options(std::move(options)), m_ask(std::move(ask)),
      m_hooks(std::move(hooks)) {
    setWindowTitle(Text(language, "dlg drive title"));
    auto* layout = new QVBoxLayout(this); // owned by this dialog
    m_list = new RemovableDriveList(language, m_options.format.environment, this);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(this);
    if (m_options.productId != 400 && m_options.productId != 401) {
        m_format =
            buttons->addButton(Text(language, "dlg format title"), QDialogButtonBox::ActionRole);
        m_format->setObjectName(QStringLiteral("32799"));
        connect(m_format, &QPushButton::clicked, this, [this] { FormatSelected(); });
    }
    m_ok = buttons->addButton(Text(language, "common ok"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(Text(language, "common cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        m_drive = m_list->SelectedDrive();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(420, 240);

    m_list->SetRefilled([this] { OnRefilled(); });
    m_list->Refill();
    // After the first filling the first card is chosen, ready for OK.
    if (m_list->topLevelItemCount() > 0) {
        m_list->setCurrentItem(m_list->topLevelItem(0));
        m_list->topLevelItem(0)->setSelected(true);
        m_list->setFocus();
    }
}

CSelectRemovableDrive::~CSelectRemovableDrive() = default;

void CSelectRemovableDrive::OnRefilled() {
    m_ok->setEnabled(m_list->topLevelItemCount() > 0);
}

void CSelectRemovableDrive::FormatSelected() {
    const QString drive = m_list->SelectedDrive();
    if (drive.isEmpty()) {
        m_ask("common info", "dlg format message4", Text(m_language, "dlg format message4"), false);
        return;
    }
    const bool paused = m_hooks.pauseForFormat ? m_hooks.pauseForFormat() : false;
    CardFormatFlow flow(m_options.format);
    const CardFacts facts = flow.ReadFacts(drive.toStdString());
    const std::uint32_t sectorsPerCluster =
        std::min(facts.sectorsPerCluster, kMostSectorsPerCluster);
    const QString question = FormatReportText::WithText(m_language, "dlg format message5", drive) +
                             QStringLiteral("\r\n") + Text(m_language, "dlg format message0") +
                             QStringLiteral("\r\n") + Text(m_language, "dlg format message1");
    if (!m_ask("common warning", "dlg format message5", question, true)) {
        if (m_hooks.resumeAfterCancel) {
            m_hooks.resumeAfterCancel(paused);
        }
        return;
    }
    CardFormatRequest request;
    request.drive = drive.toStdString();
    request.keepSettingsFile = true;
    request.formatType = m_options.formatType;
    request.clusterBytes = sectorsPerCluster * kSectorBytes;
    request.sectorsPerCluster = static_cast<int>(sectorsPerCluster);
    m_format->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CardFormatReport report = flow.Run(request);
    QApplication::restoreOverrideCursor();
    m_format->setEnabled(true);
    const FormatMessage message = FormatReportText::For(m_language, report, true);
    m_ask(message.captionKey, message.textKey, message.text, false);
    m_list->Refill();
    if (m_hooks.formatted) {
        m_hooks.formatted(drive.left(kRootLimit));
    }
}

} // namespace viewer::appdlg
