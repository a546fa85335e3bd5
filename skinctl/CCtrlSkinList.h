#pragma once
// The skinned list: a header row with a check box that checks every row, rows with a check box
// in the first column, one selected row and one indicated row (the one being played), a
// vertical skinned scroll bar and, when switched on, horizontal scrolling of wide columns.
// Selection and activation are reported with the notification codes the list page expects.

#include "skinctl/CCtrlScrollBar.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <vector>

class CCtrlSkinList : public QWidget {
    Q_OBJECT

public:
    static constexpr int kNotifySelect = 0x052C;
    static constexpr int kNotifyActivate = 0x052D;

    struct Images {
        QImage background;
        QImage row;
        QImage rowSelected;
        QImage header;
        QImage scrollTrack;
        QImage scrollThumb;
        QImage checkColumn;
        QImage unchecked;
        QImage checked;
    };
    struct Colours {
        QColor normal{0xE6, 0xE8, 0xEB};
        QColor header{0x9A, 0xA1, 0xAA};
        QColor selected{0xE6, 0xE8, 0xEB};
        QColor indicated{0x3D, 0x8B, 0xFD};
        QColor warning{0xF5, 0xA5, 0x24};  // the text of rows marked as warnings
    };
    enum class RowState { Normal, Selected, Indicated };

    explicit CCtrlSkinList(int id, QWidget* parent = nullptr);

    void SetImages(const Images& images);
    void SetColours(const Colours& colours);
    void SetRowHeight(int height);
    void SetHeaderHeight(int height);
    void SetHorizontalScroll(bool on);

    // Column 0 is the check-box column; its header shows the check-all box.
    void InsertColumn(int column, const QString& header, int width);
    void SetColumnHeader(int column, const QString& header);
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    int GetColumnWidth(int column) const;
    // Columns first to last (inclusive) as wide as their header and widest cell need in the
    // control's font, so that no text is cut and no room is wasted.
    void FitColumnsToContent(int first, int last);
    // The room a cell's text needs besides the text itself.
    static constexpr int kCellPadding = 10;

    int InsertItem(int row, const QString& firstText);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(m_rows.size()); }

    void SetCheck(int row, bool checked);
    // A row drawn in the warning colour (unless it is the indicated row).
    void SetRowWarning(int row, bool warning);
    bool GetRowWarning(int row) const;
    bool GetCheck(int row) const;
    int GetCheckedCount() const;
    bool IsAllChecked() const { return m_allChecked; }

    // -1 clears. Selecting does not notify; the user's selection does.
    void SetSelectedRow(int row);
    int GetSelectedRow() const { return m_selected; }
    void SetIndicatedRow(int row);
    int GetIndicatedRow() const { return m_indicated; }
    RowState GetRowState(int row) const;
    void EnsureVisible(int row);

    int GetTopRow() const;
    int GetHorizontalOffset() const;
    // Where a row lies in the control (for tests and hit checks); empty when scrolled away.
    QRect RowRect(int row) const;
    QRect CheckRect(int row) const;
    QRect HeaderCheckRect() const;
    QSize sizeHint() const override;

signals:
    // message is kNotifySelect or kNotifyActivate.
    void notify(int message, int id, int row);
    void checkChanged(int row, bool checked);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Column {
        QString header;
        int width = 0;
    };
    struct Row {
        QStringList texts;
        bool checked = false;
        bool warning = false;
    };

    QRect viewRect() const;
    int contentWidth() const;
    int visibleRows() const;
    int rowAt(const QPoint& point) const;
    void updateScrollBars();
    void selectByUser(int row);
    void setAllChecked(bool checked);
    void paintHeader(QPainter& painter);
    void paintRow(QPainter& painter, int row);

    int m_id;
    Images m_images;
    Colours m_colours;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    int m_rowHeight = 32;
    int m_headerHeight = 24;
    bool m_horizontal = false;
    bool m_allChecked = false;
    int m_selected = -1;
    int m_indicated = -1;
    CCtrlScrollBar* m_vertical;    // owned by this widget
    CCtrlScrollBar* m_horizontalBar;  // owned by this widget
    tachy::input::WheelSteps m_wheel;  // touchpads send fractions of a notch
};
