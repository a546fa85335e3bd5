#include "viewer/dialogs/DialogTexts.h"

#include "skinres/CExLangManager.h"

namespace viewer::dialogs {

QString DialogTexts::Text(const CExLangManager& language, const char* key) {
    const QString text = language.GetText(QString::fromLatin1(key));
    return text.isEmpty() ? QString::fromLatin1(key) : text;
}

QString DialogTexts::WithNumber(const CExLangManager& language, const char* key, long long number) {
    QString text = Text(language, key);
    const auto at = text.indexOf(QStringLiteral("%d"));
    if (at >= 0) {
        text.replace(at, 2, QString::number(number));
    }
    return text;
}

QString DialogTexts::WithFailures(const CExLangManager& language, const QString& text,
                                  const char* headingKey, const QStringList& failed) {
    if (failed.isEmpty()) {
        return text;
    }
    return text + QStringLiteral("\n\n") + Text(language, headingKey) + QLatin1Char('\n') +
           failed.join(QLatin1Char('\n'));
}

} // namespace viewer::dialogs
