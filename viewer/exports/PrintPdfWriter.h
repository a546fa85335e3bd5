#pragma once
// Saves the printed page as a one-page PDF file: what a machine without an installed printer
// does instead of printing.

#include <QString>

namespace viewer::exports {

class PrintPage;

class PrintPdfWriter {
public:
    // True when the file was written. `documentName` is the PDF's title ("print doc name").
    static bool Write(const PrintPage& page, const QString& path, const QString& documentName);
};

} // namespace viewer::exports
