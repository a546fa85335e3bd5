#include "viewer/dialogs/CDlgPrint.h"

#include "viewer/dialogs/PrintPreview.h"
#include "viewer/exports/PrintPdfWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace viewer::dialogs {

CDlgPrint::CDlgPrint(const CExLangManager& language, AskUser ask,
                     viewer::exports::PrintPageContent content, const QPageSize& paper,
                     QWidget* parent)
    : QDialog(parent), m_language(language), m_ask(std::move(ask)),
      m_page(std::move(content), paper) {
    setObjectName(QStringLiteral("CDlgPrint"));
    setWindowTitle(Text("print title"));
    Build();
}

QPageSize CDlgPrint::DefaultPaper() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull() && printer.defaultPageSize().isValid()) {
        return printer.defaultPageSize();
    }
    const bool letter = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

bool CDlgPrint::HasPrinter() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString CDlgPrint::Text(const char* key) const {
    return DialogTexts::Text(m_language, key);
}

void CDlgPrint::Build() {
    auto* layout = new QVBoxLayout(this);
    m_preview = new PrintPreview(m_page, this);
    layout->addWidget(m_preview, 1);

    auto* row = new QHBoxLayout;
    m_memo = new QLineEdit(this);
    m_memo->setObjectName(QStringLiteral("1022"));
    m_memoButton = new QPushButton(Text("print memo"), this);
    m_memoButton->setObjectName(QStringLiteral("1000"));
    m_memoButton->setEnabled(false);
    m_memoButton->setAutoDefault(false);
    row->addWidget(m_memo, 1);
    row->addWidget(m_memoButton);
    layout->addLayout(row);

    auto* buttons = new QHBoxLayout;
    auto* pdf = new QPushButton(Text("print pdf"), this);
    pdf->setObjectName(QStringLiteral("pdf"));
    pdf->setAutoDefault(false);
    auto* print = new QPushButton(Text("common print"), this);
    print->setObjectName(QStringLiteral("1"));
    print->setDefault(true);
    auto* cancel = new QPushButton(Text("common cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(pdf);
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(m_memo, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_memoButton->setEnabled(!text.isEmpty()); });
    connect(m_memoButton, &QPushButton::clicked, this, [this] { ApplyMemo(); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        if (SaveAsPdf()) {
            accept();
        }
    });
    connect(print, &QPushButton::clicked, this, [this] { PrintOrApplyMemo(); });
    connect(cancel, &QPushButton::clicked, this, &CDlgPrint::reject);
}

void CDlgPrint::ApplyMemo() {
    if (m_memo->text().isEmpty()) {
        return;
    }
    m_page.SetMemo(m_memo->text());
    m_memo->clear();
    m_memoButton->setEnabled(false);
    m_preview->update();
}

void CDlgPrint::PrintOrApplyMemo() {
    if (!m_memo->text().isEmpty()) {
        ApplyMemo();
        return;
    }
    if (!HasPrinter()) {
        if (SaveAsPdf()) {
            accept();
        }
        return;
    }
    PrintOnPrinter();
}

void CDlgPrint::PrintOnPrinter() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Text("print doc name"));
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (dialog.exec() != QDialog::Accepted) {
        return; // back to the preview
    }
    if (!m_page.Print(printer)) {
        m_ask("common info", "print message", Text("print message"), false);
        reject();
        return;
    }
    accept();
}

QString CDlgPrint::ChoosePdfPath() {
    if (m_choosePdfPath) {
        return m_choosePdfPath();
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileDialog::getSaveFileName(
        this, Text("print pdf"),
        QDir(folder).filePath(Text("print doc name") + QStringLiteral(".pdf")),
        QStringLiteral("PDF (*.pdf)"));
}

// A file that cannot be written leaves the dialog open, so that another place can be chosen.
bool CDlgPrint::SaveAsPdf() {
    const QString path = ChoosePdfPath();
    if (path.isEmpty()) {
        return false;
    }
    if (!viewer::exports::PrintPdfWriter::Write(m_page, path, Text("print doc name"))) {
        m_ask("common info", "print message", Text("print message"), false);
        return false;
    }
    m_pdfPath = path;
    return true;
}

} // namespace viewer::dialogs
