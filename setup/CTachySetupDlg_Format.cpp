// CTachySetupDlg: the format button and the format that follows a save which needs one.
#include "setup/CTachySetupDlg.h"

#include "platform/text/CodePage.h"
#include "setup/CSetupFormatDlg.h"
#include "setup/ISetupDlg.h"
#include "setup/SetupMessageBox.h"

#include <QString>

using setup::SetupText;
using setup::ShowSetupMessageText;
using viewer::appdlg::CardFormatReport;
using viewer::appdlg::CardFormatResult;

namespace {

// The language text of `key` with its first "%s" replaced by `value` (a language text is never
// used as a printf format).
QString WithValue(const CExLangManager& language, const char* key, const QString& value) {
    QString text = SetupText(language, key);
    const auto at = text.indexOf(QStringLiteral("%s"));
    return at < 0 ? text + QLatin1Char(' ') + value : text.replace(at, 2, value);
}

QString WithDetail(const QString& text, const std::string& detail) {
    return detail.empty() ? text : text + QStringLiteral("\r\n") + QString::fromStdString(detail);
}

bool CardWasFormatted(const CardFormatReport& report) {
    return report.result == CardFormatResult::Formatted ||
           report.result == CardFormatResult::WriteBackFailed;
}

} // namespace

SetupCardFormat CTachySetupDlg::CardFormat() const {
    return SetupCardFormat(m_app.Option(), m_drive, m_app.GetPaths().workFolder, m_formatTarget);
}

bool CTachySetupDlg::ReportFormat(const CardFormatReport& report, bool successMessage) {
    const CExLangManager& language = m_app.Language();
    const QString folder = QString::fromStdString(report.keptFolder.string());
    switch (report.result) {
    case CardFormatResult::Formatted:
        if (successMessage) {
            ShowSetupMessageText(this, language, "common info", "format message success",
                                 SetupText(language, "format message success"), false);
        }
        return true;
    case CardFormatResult::WriteBackFailed:
        // Formatted, but a file is only in its copy: the user learns where it is.
        ShowSetupMessageText(this, language, "common warning", "format message kept",
                             WithDetail(SetupText(language, "format message success") +
                                            QStringLiteral("\r\n") +
                                            WithValue(language, "format message kept", folder),
                                        report.error),
                             false);
        return false;
    case CardFormatResult::CopyNotSaved: {
        const QString work = QString::fromStdString(m_app.GetPaths().workFolder.string());
        ShowSetupMessageText(
            this, language, "common warning", "format message not kept",
            WithDetail(WithValue(language, "format message not kept", work), report.error), false);
        return false;
    }
    case CardFormatResult::Failed:
    case CardFormatResult::TooLarge:
    case CardFormatResult::Refused:
        break;
    }
    QString text = SetupText(language, "format message fail");
    if (!report.keptFolder.empty()) {
        // The failed format may have taken files with it: their copies stay.
        text += QStringLiteral("\r\n") + WithValue(language, "format message kept", folder);
    }
    ShowSetupMessageText(this, language, "common warning", "format message fail",
                         WithDetail(text, report.error), false);
    return false;
}

CardFormatReport CTachySetupDlg::FormatAfterSave(bool successMessage) {
    const CardFormatReport report =
        CardFormat().Run(m_app.Language(), this, SetupCardFormat::kAfterSaveClusterBytes,
                         std::nullopt, std::nullopt);
    if (CardWasFormatted(report)) {
        SignalViewer();
    }
    ReportFormat(report, successMessage);
    return report;
}

void CTachySetupDlg::RestoreLoaded() {
    m_working = m_loaded;
    m_page->ShowValues();
    WriteWorking();
}

// Formats the card with the label the user gives and writes the settings as shown back to it;
// the program stays open.
void CTachySetupDlg::OnFormat() {
    const SetupCardFormat format = CardFormat();
    const viewer::appdlg::CardFacts facts = format.Facts();
    const std::uint32_t cluster = format.ButtonClusterBytes(facts.totalBytes);
    const QString label =
        m_model->Kind() == tachy::setupfile::SetupPageKind::STMI0
            ? QString::fromStdString(m_model->ModelNameText(m_working, tachy::text::ansiCodePage()))
            : QString();
    CSetupFormatDlg dialog(m_app.Language(), QString::fromStdString(format.Volume()), label,
                           static_cast<int>(cluster / 1024), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (facts.totalBytes == 0) {
        // Without the card's size the cluster size cannot be chosen: nothing is formatted.
        CardFormatReport report;
        report.result = CardFormatResult::Failed;
        report.error = "the size of \"" + format.Volume() + "\" could not be read";
        ReportFormat(report, true);
        return;
    }
    m_model->UpdateChecksum(m_working);
    const std::string settings(m_working.begin(), m_working.end());
    const CardFormatReport report =
        format.Run(m_app.Language(), this, cluster, dialog.Label().toStdString(), settings);
    if (CardWasFormatted(report)) {
        SignalViewer();
    }
    if (ReportFormat(report, true)) {
        // The card now holds the settings as shown.
        m_loaded = m_working;
    }
    m_page->ShowValues();
}
