#pragma once
// The printed page of the current frame: title, the channels' pictures, the time, position and
// speed, G-sensor and memo sections. One drawing routine serves the preview image, the printer
// and the PDF file, so the preview shows exactly what is printed.

#include "viewer/exports/PrintPageContent.h"
#include "viewer/exports/PrintPageLayout.h"

#include <QImage>
#include <QPageSize>

class QPainter;
class QPrinter;

namespace viewer::exports {

class PrintPage {
public:
    // The page takes the shape of `paper` (the default printer's paper).
    PrintPage(PrintPageContent content, const QPageSize& paper);

    // The memo the user typed becomes the page's memo section.
    void SetMemo(const QString& memo);

    const PrintPageContent& Content() const { return m_content; }
    const PrintPageLayout& Layout() const { return m_layout; }
    const QPageSize& Paper() const { return m_paper; }

    // Draws the whole page scaled into `target` (device coordinates), which should have the
    // paper's shape; a white page first.
    void Draw(QPainter& painter, const QRectF& target) const;
    // The page as an image `width` pixels wide, in the paper's shape.
    QImage Preview(int width) const;
    // One page on the printer, using its whole paper; the printer's page size is set to the
    // page's paper. False when the printer cannot start or fails.
    bool Print(QPrinter& printer) const;

private:
    void DrawTitle(QPainter& painter) const;
    void DrawPictures(QPainter& painter) const;
    void DrawSections(QPainter& painter) const;

    PrintPageContent m_content;
    QPageSize m_paper;
    PrintPageLayout m_layout;
};

} // namespace viewer::exports
