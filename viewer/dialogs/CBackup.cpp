#include "viewer/dialogs/CBackup.h"

#include "viewer/dialogs/CDoBackup.h"
#include "viewer/dialogs/FolderActions.h"
#include "viewer/exports/BackupCopier.h"
#include "viewer/exports/RecordingFiles.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer::dialogs {
namespace {

QStringList names(const std::vector<std::filesystem::path>& files) {
    QStringList list;
    for (const auto& file : files) {
        list.append(QString::fromStdString(file.string()));
    }
    return list;
}

} // namespace

CBackup::CBackup(const CExLangManager& language, AskUser ask, std::vector<CTimeList> entries,
                 const std::filesystem::path& target, QWidget* parent)
    : QDialog(parent), m_language(language), m_ask(std::move(ask)), m_entries(std::move(entries)),
      m_files(tachy::viewer::RecordingFiles::OfEntries(m_entries)), m_session(target) {
    setObjectName(QStringLiteral("CBackup"));
    setWindowTitle(Text("backup title"));
    Build();
}

QString CBackup::Text(const char* key) const {
    return DialogTexts::Text(m_language, key);
}

void CBackup::Build() {
    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(Text("backup message"), this);
    message->setObjectName(QStringLiteral("1015"));
    layout->addWidget(message);

    auto* grid = new QGridLayout;
    auto* targetLabel = new QLabel(Text("backup target dir"), this);
    targetLabel->setObjectName(QStringLiteral("1016"));
    m_targetEdit = new QLineEdit(QString::fromStdString(Target().string()), this);
    m_targetEdit->setObjectName(QStringLiteral("1012"));
    m_targetEdit->setReadOnly(true);
    m_targetEdit->setMinimumWidth(360);
    auto* choose = new QPushButton(Text("backup target dir button"), this);
    choose->setObjectName(QStringLiteral("1013"));
    auto* open = new QPushButton(Text("common open dir"), this);
    open->setObjectName(QStringLiteral("1000"));
    grid->addWidget(targetLabel, 0, 0);
    grid->addWidget(m_targetEdit, 0, 1);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(open, 0, 3);
    layout->addLayout(grid);

    // How many recordings are checked, and how many files they are: every camera has its own.
    const QString count =
        DialogTexts::WithNumber(m_language, "backup message2",
                                static_cast<long long>(m_entries.size())) +
        QLatin1Char(' ') +
        DialogTexts::WithNumber(m_language, "backup files", static_cast<long long>(m_files.size()));
    auto* countLabel = new QLabel(count, this);
    countLabel->setObjectName(QStringLiteral("1017"));
    layout->addWidget(countLabel);

    auto* buttons = new QDialogButtonBox(this);
    auto* save = buttons->addButton(Text("common save"), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("1001"));
    auto* ok = buttons->addButton(Text("common ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    auto* cancel = buttons->addButton(Text("common cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    layout->addWidget(buttons);

    connect(choose, &QPushButton::clicked, this, [this] { OnChooseFolder(); });
    connect(open, &QPushButton::clicked, this,
            [this] { FolderActions::Open(QString::fromStdString(Target().string())); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CBackup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBackup::reject);
}

void CBackup::OnChooseFolder() {
    const QString folder =
        FolderActions::Choose(this, m_language, QString::fromStdString(Target().string()));
    if (!folder.isEmpty()) {
        ChooseTarget(folder);
    }
}

void CBackup::ChooseTarget(const QString& folder) {
    m_session.ChooseTarget(folder.toStdString());
    m_targetEdit->setText(folder);
}

bool CBackup::Save(tachy::viewer::BackupSession::Button button) {
    using Action = tachy::viewer::BackupSession::SaveAction;
    switch (m_session.OnSave(button)) {
    case Action::Nothing:
        return true;
    case Action::AskFirst:
        if (!m_ask("common info", "backup message3", Text("backup message3"), true)) {
            return false;
        }
        break;
    case Action::Copy:
        break;
    }
    RunCopy();
    return true;
}

void CBackup::RunCopy() {
    CDoBackup progress(m_language, m_files, Target(), this);
    progress.exec();
    ++m_copyRuns;
    const tachy::viewer::BackupResult& result = progress.Result();
    m_session.OnCopyFinished(result);
    if (result.Complete()) {
        m_ask("common info", "backup message4", Text("backup message4"), false);
        return;
    }
    // Not everything was saved: say how much was, and name what could not be copied.
    const QString text = DialogTexts::WithFailures(
        m_language, DialogTexts::WithNumber(m_language, "backup incomplete", result.Saved()),
        "backup failed", names(result.failed));
    m_ask("common info", "backup incomplete", text, false);
}

void CBackup::accept() {
    if (Save(tachy::viewer::BackupSession::Button::Ok)) {
        QDialog::accept();
    }
}

} // namespace viewer::dialogs
