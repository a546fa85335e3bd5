#include "setup/CTachySetupDlg.h"

#include "platform/ipc/NamedEvent.h"
#include "setup/CSetupLogOn.h"
#include "setup/CSetupSTMI0.h"
#include "setup/SetupMessageBox.h"
#include "setup/SetupStyle.h"
#include "setup/SetupWatcher.h"
#include "setupfile/TimeSetFile.h"

#include <QPushButton>
#include <QScreen>
#include <algorithm>

using setup::Answer;
using setup::ShowSetupMessage;
using tachy::setupfile::SetupWriteResult;

namespace {

constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;
constexpr int kMargin = 10;
constexpr int kBottomInset = 50;

} // namespace

CTachySetupDlg::CTachySetupDlg(CTachySetupApp& app, std::filesystem::path drive, QWidget* parent)
    : QDialog(parent), m_app(app), m_drive(std::move(drive)) {
    setObjectName(QStringLiteral("CTachySetupDlg"));
    setWindowIcon(m_app.Icon());
    setFixedSize(kWidth, kHeight);
    setup::ApplySetupStyle(*this, m_app.Language());
    CreateButtons();
    Relabel();
}

CTachySetupDlg::~CTachySetupDlg() {
    // The watcher posts to this dialog: it stops before the dialog goes.
    m_watcher.reset();
}

std::filesystem::path CTachySetupDlg::SettingsFile() const {
    return m_app.Option().SettingsFilePath(m_drive);
}

bool CTachySetupDlg::IsWatching() const {
    return m_watcher && m_watcher->IsWatching();
}

bool CTachySetupDlg::Setup() {
    if (m_drive.empty()) {
        ShowSetupMessage(this, m_app.Language(), "common info", "message 001", false);
        return false;
    }
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    m_access = std::make_unique<tachy::NamedEvent>(kAccessEventName);
    if (!CreatePage() || !LoadSettingsFile()) {
        return false;
    }
    // The watcher's call comes from its own thread: it only queues the handler on this one.
    m_watcher = std::make_unique<SetupWatcher>([this] {
        QMetaObject::invokeMethod(this, &CTachySetupDlg::OnLanguageChanged, Qt::QueuedConnection);
    });
    return true;
}

void CTachySetupDlg::CreateButtons() {
    const auto make = [this](QPushButton*& button, const char* key) {
        button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(key));
        button->setAutoDefault(false);
    };
    make(m_default, "common default");
    make(m_format, "common format");
    make(m_systemInit, "common sys init");
    make(m_save, "common save");
    make(m_cancel, "common cancel");
    connect(m_save, &QPushButton::clicked, this, &CTachySetupDlg::OnSave);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_default, &QPushButton::clicked, this, &CTachySetupDlg::OnDefault);
    connect(m_systemInit, &QPushButton::clicked, this, &CTachySetupDlg::OnSystemInit);
    connect(m_format, &QPushButton::clicked, this, &CTachySetupDlg::OnFormat);
}

// Default and format at the left, system initialisation, save and cancel at the right.
void CTachySetupDlg::LayoutButtons() {
    const int top = kHeight - kBottomInset + (kBottomInset - kButtonHeight) / 2;
    // 100 pixels wide, or as wide as the language's text needs.
    const auto width = [](QPushButton* button) {
        return std::max(kButtonWidth, button->sizeHint().width());
    };
    int left = kMargin;
    for (QPushButton* button : {m_default, m_format}) {
        button->setGeometry(left, top, width(button), kButtonHeight);
        left += width(button) + kMargin;
    }
    int right = kWidth - kMargin;
    for (QPushButton* button : {m_cancel, m_save, m_systemInit}) {
        right -= width(button);
        button->setGeometry(right, top, width(button), kButtonHeight);
        right -= kMargin;
    }
}

void CTachySetupDlg::Relabel() {
    const CExLangManager& language = m_app.Language();
    setWindowTitle(setup::SetupText(language, "setup_title"));
    for (QPushButton* button : {m_default, m_format, m_systemInit, m_save, m_cancel}) {
        button->setText(setup::SetupText(language, button->objectName().toLatin1().constData()));
    }
    LayoutButtons();
}

bool CTachySetupDlg::CreatePage() {
    m_model = tachy::setupfile::ISetupPageModel::Create(m_app.Option().productId);
    if (!m_model) {
        return false;
    }
    if (m_model->Kind() == tachy::setupfile::SetupPageKind::STMI0) {
        m_page = new CSetupSTMI0(*m_model, m_working, m_app.Language(), this);
    } else {
        auto* page = new CSetupLogOn(*m_model, m_working, m_app.Language(), this);
        connect(page, &CSetupLogOn::TimeSetRequested, this, &CTachySetupDlg::OnTimeSet);
        m_page = page;
    }
    m_page->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin, kHeight - kMargin - kBottomInset);
    return true;
}

void CTachySetupDlg::OnLanguageChanged() {
    m_app.SelectLanguage();
    setup::ApplySetupStyle(*this, m_app.Language());
    Relabel();
    if (m_page != nullptr) {
        m_page->ReloadTexts();
    }
}

void CTachySetupDlg::SignalViewer() {
    if (m_access && m_access->isValid()) {
        m_access->set();
    }
}
