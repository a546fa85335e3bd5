#pragma once
// The print dialog: a preview of the page in the default printer's paper shape, a memo the
// user may add to the page, and printing through the system's print dialog. A machine without
// an installed printer saves the page as a PDF file instead; the file holds exactly what the
// preview shows, as both are drawn by the page's one routine.

#include "viewer/dialogs/DialogTexts.h"
#include "viewer/exports/PrintPage.h"

#include <QDialog>
#include <QPageSize>

#include <functional>

class CExLangManager;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace viewer::dialogs {

class PrintPreview;

class CDlgPrint : public QDialog {
    Q_OBJECT

public:
    // Asks for a PDF file's name; an empty text cancels.
    using PdfPathChooser = std::function<QString()>;

    CDlgPrint(const CExLangManager& language, AskUser ask,
              viewer::exports::PrintPageContent content, const QPageSize& paper, QWidget* parent);

    // The default printer's paper, or the locale's (A4 or Letter) when no printer is installed.
    static QPageSize DefaultPaper();
    static bool HasPrinter();

    const viewer::exports::PrintPage& Page() const { return m_page; }
    PrintPreview* Preview() const { return m_preview; }
    // Replaces the file dialog that asks where the PDF goes (scripted runs and tests).
    void SetPdfPathChooser(PdfPathChooser chooser) { m_choosePdfPath = std::move(chooser); }
    // The PDF written last, empty before.
    const QString& PdfPath() const { return m_pdfPath; }

    // The memo button's work: the edit's text becomes the page's memo.
    void ApplyMemo();
    // The print button (1): a memo typed first goes on the page; otherwise print, or save a
    // PDF where no printer is installed.
    void PrintOrApplyMemo();
    // Saves the page as a PDF file at a place the user chooses; true when written.
    bool SaveAsPdf();

private:
    void Build();
    void PrintOnPrinter();
    QString ChoosePdfPath();
    QString Text(const char* key) const;

    const CExLangManager& m_language; // borrowed; outlives the dialog
    AskUser m_ask;
    viewer::exports::PrintPage m_page;
    PdfPathChooser m_choosePdfPath;
    QString m_pdfPath;
    PrintPreview* m_preview = nullptr;   // child
    QLineEdit* m_memo = nullptr;         // child
    QPushButton* m_memoButton = nullptr; // child
};

} // namespace viewer::dialogs
