#include "viewer/dialogs/CExportVideoDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace viewer::dialogs {

using tachy::cli::ExportLayout;

CExportVideoDlg::CExportVideoDlg(const CExLangManager& language, AskUser ask,
                                 const ExportVideoSpan& span, const std::filesystem::path& target,
                                 QWidget* parent)
    : QDialog(parent), m_language(language), m_ask(std::move(ask)), m_span(span) {
    setObjectName(QStringLiteral("CExportVideoDlg"));
    setWindowTitle(Text("export video title"));
    Build(target);
    ShowSpan();
}

QString CExportVideoDlg::Text(const char* key) const {
    return DialogTexts::Text(m_language, key);
}

void CExportVideoDlg::Build(const std::filesystem::path& target) {
    auto* form = new QFormLayout;
    const auto seconds = [this](const char* name) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, kMaxSeconds);
        box->setValue(kDefaultSeconds);
        connect(box, &QSpinBox::valueChanged, this, [this] { ShowSpan(); });
        return box;
    };
    m_before = seconds("before");
    m_after = seconds("after");
    form->addRow(Text("export video before"), m_before);
    form->addRow(Text("export video after"), m_after);
    m_length = new QLabel(this);
    m_length->setObjectName(QStringLiteral("length"));
    form->addRow(QString(), m_length);
    m_layout = new QComboBox(this);
    m_layout->setObjectName(QStringLiteral("layout"));
    AddLayouts();
    form->addRow(Text("export video layout"), m_layout);
    m_overlay = new QCheckBox(Text("export video overlay"), this);
    m_overlay->setObjectName(QStringLiteral("overlay"));
    form->addRow(QString(), m_overlay);
    auto* fileRow = new QHBoxLayout;
    m_path = new QLineEdit(QString::fromStdString(target.string()), this);
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setMinimumWidth(320);
    fileRow->addWidget(m_path, 1);
    auto* browse = new QPushButton(Text("export video browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    fileRow->addWidget(browse);
    form->addRow(Text("export video file"), fileRow);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(Text("common ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(Text("common cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportVideoDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExportVideoDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

// Only the layouts the card's cameras fill: a single camera has nothing to put beside it.
void CExportVideoDlg::AddLayouts() {
    struct Choice {
        const char* key;
        ExportLayout::Kind kind;
        int cameras;
    };
    static constexpr Choice kChoices[] = {
        {"export layout front", ExportLayout::Kind::Front, 1},
        {"export layout side", ExportLayout::Kind::SideBySide, 2},
        {"export layout grid", ExportLayout::Kind::Grid, 3},
        {"export layout pip", ExportLayout::Kind::PictureInPicture, 2},
    };
    for (const Choice& choice : kChoices) {
        if (m_span.cameras >= choice.cameras) {
            m_layout->addItem(Text(choice.key), static_cast<int>(choice.kind));
        }
    }
}

std::int64_t CExportVideoDlg::FromMs() const {
    return std::max(m_span.firstMs, m_span.pictureMs - std::int64_t{m_before->value()} * 1000);
}

std::int64_t CExportVideoDlg::ToMs() const {
    return std::min(m_span.lastMs, m_span.pictureMs + std::int64_t{m_after->value()} * 1000);
}

ExportLayout::Kind CExportVideoDlg::Layout() const {
    return static_cast<ExportLayout::Kind>(m_layout->currentData().toInt());
}

bool CExportVideoDlg::Overlay() const {
    return m_overlay->isChecked();
}

std::filesystem::path CExportVideoDlg::Target() const {
    return m_path->text().trimmed().toStdString();
}

// The length of the span as clamped, so that the user sees where the recordings end.
void CExportVideoDlg::ShowSpan() {
    const std::int64_t length = std::max<std::int64_t>(0, ToMs() - FromMs());
    m_length->setText(
        DialogTexts::WithNumber(m_language, "export video length", (length + 500) / 1000));
}

void CExportVideoDlg::OnBrowse() {
    QFileDialog dialog(this, Text("export video title"), m_path->text(),
                       Text("export video filter"));
    dialog.setObjectName(QStringLiteral("ExportVideoFile"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("mp4"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        m_path->setText(dialog.selectedFiles().constFirst());
    }
}

void CExportVideoDlg::accept() {
    if (ToMs() <= FromMs()) {
        m_ask("common info", "export video empty", Text("export video empty"), false);
        return;
    }
    std::filesystem::path target = Target();
    if (target.empty() || target.filename().empty()) {
        m_ask("common info", "export video no file", Text("export video no file"), false);
        return;
    }
    if (target.extension().empty()) {
        m_path->setText(m_path->text().trimmed() + QStringLiteral(".mp4"));
        target = Target();
    }
    std::error_code error;
    if (std::filesystem::exists(target, error) &&
        !m_ask("common warning", "export video exists", Text("export video exists"), true)) {
        return;
    }
    QDialog::accept();
}

} // namespace viewer::dialogs
