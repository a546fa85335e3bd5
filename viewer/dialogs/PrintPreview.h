#pragma once
// The print dialog's preview area: the page drawn by the same routine that prints it, fitted
// into the area in the paper's shape, centred, with a 2-pixel shadow and a 5-pixel margin.

#include <QWidget>

namespace viewer::exports {
class PrintPage;
}

namespace viewer::dialogs {

class PrintPreview : public QWidget {
    Q_OBJECT

public:
    // `page` is borrowed and must outlive the preview.
    PrintPreview(const viewer::exports::PrintPage& page, QWidget* parent);

    // Where the page goes in this widget's present size.
    QRectF PageRect() const;
    // Just the page, as the preview shows it now (for pictures of the dialog).
    QImage PageImage() const;

    QSize sizeHint() const override { return {420, 560}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const viewer::exports::PrintPage& m_page;
};

} // namespace viewer::dialogs
