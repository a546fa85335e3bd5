#include "viewer/exports/PrintPdfWriter.h"

#include "viewer/exports/PrintPage.h"

#include <QFileInfo>
#include <QPrinter>

namespace viewer::exports {

bool PrintPdfWriter::Write(const PrintPage& page, const QString& path,
                           const QString& documentName) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(documentName);
    printer.setCreator(QStringLiteral("tachyPlayer"));
    if (!page.Print(printer)) {
        return false;
    }
    // The PDF engine reports a file it could not open only through an inactive painter, which
    // Print has seen; a file that is still missing means nothing was written either.
    return QFileInfo(path).size() > 0;
}

} // namespace viewer::exports
