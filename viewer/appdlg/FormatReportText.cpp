#include "viewer/appdlg/FormatReportText.h"

#include "viewer/dialogs/DialogTexts.h"

namespace viewer::appdlg {

namespace {

QString Text(const CExLangManager& language, const char* key) {
    return viewer::dialogs::DialogTexts::Text(language, key);
}

QString Lines(const QString& first, const std::string& second) {
    return second.empty() ? first : first + QStringLiteral("\r\n") + QString::fromStdString(second);
}

QString Path(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

QString FormatReportText::WithText(const CExLangManager& language, const char* key,
                                   const QString& value) {
    QString text = Text(language, key);
    const auto at = text.indexOf(QStringLiteral("%s"));
    return at < 0 ? text + QLatin1Char(' ') + value : text.replace(at, 2, value);
}

FormatMessage FormatReportText::For(const CExLangManager& language, const CardFormatReport& report,
                                    bool sizeHasItsOwnText) {
    FormatMessage message;
    switch (report.result) {
    case CardFormatResult::Formatted:
        message.textKey = "dlg format message2";
        message.text = Text(language, message.textKey);
        break;
    case CardFormatResult::WriteBackFailed:
        message.captionKey = "common warning";
        message.textKey = "dlg format message7";
        message.text =
            Lines(WithText(language, message.textKey, Path(report.keptCopy)), report.error);
        break;
    case CardFormatResult::CopyNotSaved:
        message.captionKey = "common warning";
        message.textKey = "dlg format message8";
        message.text =
            Lines(WithText(language, message.textKey, Path(report.keptCopy)), report.error);
        break;
    case CardFormatResult::TooLarge:
    case CardFormatResult::Failed:
    case CardFormatResult::Refused:
        message.textKey = report.result == CardFormatResult::TooLarge && sizeHasItsOwnText
                              ? "dlg format message6"
                              : "dlg format message3";
        message.text = Lines(Text(language, message.textKey), report.error);
        if (!report.keptCopy.empty()) {
            // The failed run may have taken the file with it: the user learns where it is.
            message.text += QStringLiteral("\r\n") +
                            WithText(language, "dlg format message7", Path(report.keptCopy));
        }
        break;
    }
    return message;
}

} // namespace viewer::appdlg
