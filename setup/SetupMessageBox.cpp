#include "setup/SetupMessageBox.h"

#include "skinres/CExLangManager.h"

#include <QMessageBox>
#include <QPushButton>

namespace setup {
namespace {

Answer Show(QWidget* parent, const CExLangManager& language, const char* captionKey,
            const char* textKey, const QString& text, bool withCancel) {
    QMessageBox box(withCancel ? QMessageBox::Question : QMessageBox::Information,
                    SetupText(language, captionKey), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("setupMessage"));
    box.setProperty("textKey", QString::fromLatin1(textKey));
    QPushButton* ok = box.addButton(SetupText(language, "common ok"), QMessageBox::AcceptRole);
    if (withCancel) {
        box.addButton(SetupText(language, "common cancel"), QMessageBox::RejectRole);
    }
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? Answer::Ok : Answer::Cancel;
}

} // namespace

QString SetupText(const CExLangManager& language, const char* key) {
    const QString text = language.GetText(QString::fromLatin1(key));
    return text.isEmpty() ? QString::fromLatin1(key) : text;
}

Answer ShowSetupMessage(QWidget* parent, const CExLangManager& language, const char* captionKey,
                        const char* textKey, bool withCancel) {
    return Show(parent, language, captionKey, textKey, SetupText(language, textKey), withCancel);
}

Answer ShowSetupMessage2(QWidget* parent, const CExLangManager& language, const char* captionKey,
                         const char* firstKey, const char* secondKey, bool withCancel) {
    const QString text =
        SetupText(language, firstKey) + QStringLiteral("\r\n") + SetupText(language, secondKey);
    return Show(parent, language, captionKey, firstKey, text, withCancel);
}

Answer ShowSetupMessageText(QWidget* parent, const CExLangManager& language, const char* captionKey,
                            const char* textKey, const QString& text, bool withCancel) {
    return Show(parent, language, captionKey, textKey, text, withCancel);
}

} // namespace setup
