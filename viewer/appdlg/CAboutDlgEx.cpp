#include "viewer/appdlg/CAboutDlgEx.h"

#include "viewer/appdlg/AboutTexts.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace viewer::appdlg {

namespace {

constexpr const char* kLineKeys[] = {"ver02", "ver03", "ver04", "ver06"};

QString Text(const CExLangManager& language, const char* key) {
    return viewer::dialogs::DialogTexts::Text(language, key);
}

} // namespace

CAboutDlgEx::CAboutDlgEx(const CExLangManager& language, const AboutInfo& info, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("About %1").arg(info.title));
    auto* layout = new QVBoxLayout(this); // owned by this dialog
    m_version =
        new QLabel(QStringLiteral("%1 V%2 (32bit)").arg(info.title, info.optionVersion), this);
    m_version->setObjectName(QStringLiteral("1025"));
    layout->addWidget(m_version);
    int item = 1030;
    for (const char* key : kLineKeys) {
        auto* line = new QLabel(Text(language, key), this);
        line->setObjectName(QString::number(item++));
        layout->addWidget(line);
    }
    // The link opens in the desktop's browser; its text is shown as plain text, never as markup.
    const QString target = Text(language, "ver05");
    m_link = new QLabel(this);
    m_link->setTextFormat(Qt::RichText);
    m_link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                        .arg(target.toHtmlEscaped(), target.toHtmlEscaped()));
    m_link->setOpenExternalLinks(true);
    m_link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    layout->addWidget(m_link);
    m_recorder = new QLabel(RecorderLine(Text(language, "ver07"), info.recorderVersion), this);
    m_recorder->setObjectName(QStringLiteral("1026"));
    layout->addWidget(m_recorder);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(language, "common ok"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

} // namespace viewer::appdlg
