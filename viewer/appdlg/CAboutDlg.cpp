#include "viewer/appdlg/CAboutDlg.h"

#include "viewer/appdlg/AboutTexts.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace viewer::appdlg {

namespace {

constexpr int kIconSize = 48;

QString Text(const CExLangManager& language, const char* key) {
    return viewer::dialogs::DialogTexts::Text(language, key);
}

} // namespace

CAboutDlg::CAboutDlg(const CExLangManager& language, const AboutInfo& info,
                     std::function<void()> openFormat, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About %1").arg(info.title));
    auto* layout = new QVBoxLayout(this); // owned by this dialog
    auto* top = new QHBoxLayout;          // owned by the layout
    auto* icon = new QLabel(this);
    const QIcon programIcon = QApplication::windowIcon().isNull()
                                  ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
                                  : QApplication::windowIcon();
    icon->setPixmap(programIcon.pixmap(kIconSize, kIconSize));
    top->addWidget(icon, 0, Qt::AlignTop);
    auto* lines = new QVBoxLayout; // owned by the layout
    m_version = new QLabel(
        VersionLine(info.productId, info.title, info.optionVersion, info.programVersion), this);
    m_version->setObjectName(QStringLiteral("1025"));
    lines->addWidget(m_version);
    m_recorder = new QLabel(RecorderLine(Text(language, "ver07"), info.recorderVersion), this);
    m_recorder->setObjectName(QStringLiteral("1029"));
    lines->addWidget(m_recorder);
    top->addLayout(lines, 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(Text(language, "common ok"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    if (openFormat) {
        m_format =
            buttons->addButton(Text(language, "common format"), QDialogButtonBox::ActionRole);
        connect(m_format, &QPushButton::clicked, this, [openFormat] { openFormat(); });
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace viewer::appdlg
