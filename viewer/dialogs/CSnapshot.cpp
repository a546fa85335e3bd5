#include "viewer/dialogs/CSnapshot.h"

#include "viewer/dialogs/FolderActions.h"
#include "viewer/exports/SnapshotNames.h"
#include "viewer/exports/SnapshotWriter.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer::dialogs {

using viewer::exports::SnapshotNames;

CSnapshot::CSnapshot(const CExLangManager& language, AskUser ask,
                     viewer::exports::SnapshotPictureSet pictures, std::int64_t second,
                     int millisecond, const QString& target, QWidget* parent)
    : QDialog(parent), m_language(language), m_ask(std::move(ask)), m_pictures(std::move(pictures)),
      m_base(SnapshotNames::BaseName(second, millisecond)), m_target(target) {
    setObjectName(QStringLiteral("CSnapshot"));
    setWindowTitle(Text("snapshot title"));
    Build();
}

QString CSnapshot::Text(const char* key) const {
    return DialogTexts::Text(m_language, key);
}

void CSnapshot::Build() {
    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(Text("snapshot message"), this);
    message->setObjectName(QStringLiteral("1015"));
    layout->addWidget(message);

    auto* grid = new QGridLayout;
    auto* targetLabel = new QLabel(Text("snapshot target dir"), this);
    targetLabel->setObjectName(QStringLiteral("1016"));
    m_targetEdit = new QLineEdit(m_target, this);
    m_targetEdit->setObjectName(QStringLiteral("1012"));
    m_targetEdit->setReadOnly(true);
    m_targetEdit->setMinimumWidth(360);
    auto* choose = new QPushButton(Text("snapshot target dir button"), this);
    choose->setObjectName(QStringLiteral("1013"));
    auto* open = new QPushButton(Text("common open dir"), this);
    open->setObjectName(QStringLiteral("1000"));
    grid->addWidget(targetLabel, 0, 0);
    grid->addWidget(m_targetEdit, 0, 1);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(open, 0, 3);
    layout->addLayout(grid);

    const QString pattern = SnapshotNames::Pattern(m_base);
    auto* names = new QLabel(Text("snapshot target name") + QLatin1Char(' ') + pattern, this);
    names->setObjectName(QStringLiteral("1017"));
    layout->addWidget(names);

    auto* buttons = new QDialogButtonBox(this);
    auto* save = buttons->addButton(Text("common save"), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("1001"));
    auto* ok = buttons->addButton(Text("common ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    auto* cancel = buttons->addButton(Text("common cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    layout->addWidget(buttons);

    connect(choose, &QPushButton::clicked, this, [this] {
        const QString folder = FolderActions::Choose(this, m_language, m_target);
        if (!folder.isEmpty()) {
            ChooseTarget(folder);
        }
    });
    connect(open, &QPushButton::clicked, this, [this] { FolderActions::Open(m_target); });
    connect(save, &QPushButton::clicked, this, [this] { Save(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CSnapshot::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSnapshot::reject);
}

void CSnapshot::ChooseTarget(const QString& folder) {
    m_target = folder;
    m_targetEdit->setText(folder);
}

int CSnapshot::Save() {
    viewer::exports::SnapshotWriter writer(m_target, m_base, m_language);
    const int written = m_base.isEmpty() ? 0 : writer.Save(m_pictures);
    m_written = writer.Written();
    if (written > 0) {
        m_ask("common info", "message 010",
              DialogTexts::WithFailures(m_language, Text("message 010"), "snapshot failed",
                                        writer.Failed()),
              false);
    } else {
        m_ask("common info", "message 009",
              DialogTexts::WithFailures(m_language, Text("message 009"), "snapshot failed",
                                        writer.Failed()),
              false);
    }
    return written;
}

void CSnapshot::accept() {
    Save();
    QDialog::accept();
}

} // namespace viewer::dialogs
