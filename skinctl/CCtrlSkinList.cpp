#include "skinctl/CCtrlSkinList.h"

#include "skinctl/SkinPaint.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

using namespace tachy::skinctl;

namespace {

constexpr int kScrollBarWidth = 12;
constexpr int kFitSlack = 4;
constexpr int kCheckSide = 18;

} // namespace

CCtrlSkinList::CCtrlSkinList(int id, QWidget* parent)
    : QWidget(parent), m_id(id), m_vertical(new CCtrlScrollBar(Qt::Vertical, this)),
      m_horizontalBar(new CCtrlScrollBar(Qt::Horizontal, this)) {
    setFocusPolicy(Qt::StrongFocus);
    m_horizontalBar->hide();
    connect(m_vertical, &CCtrlScrollBar::valueChanged, this, [this] { update(); });
    connect(m_horizontalBar, &CCtrlScrollBar::valueChanged, this, [this] { update(); });
}

void CCtrlSkinList::SetImages(const Images& images) {
    m_images = images;
    m_vertical->SetImages(images.scrollTrack, images.scrollThumb);
    m_horizontalBar->SetImages(images.scrollTrack, images.scrollThumb);
    update();
}

void CCtrlSkinList::SetColours(const Colours& colours) {
    m_colours = colours;
    update();
}

void CCtrlSkinList::SetRowHeight(int height) {
    m_rowHeight = std::max(height, 8);
    updateScrollBars();
}

void CCtrlSkinList::SetHeaderHeight(int height) {
    m_headerHeight = std::max(height, 0);
    updateScrollBars();
}

void CCtrlSkinList::SetHorizontalScroll(bool on) {
    m_horizontal = on;
    updateScrollBars();
}

void CCtrlSkinList::InsertColumn(int column, const QString& header, int width) {
    column = std::clamp(column, 0, GetColumnCount());
    m_columns.insert(m_columns.begin() + column, Column{header, std::max(width, 0)});
    for (Row& row : m_rows) {
        row.texts.insert(column, QString());
    }
    updateScrollBars();
}

int CCtrlSkinList::GetColumnWidth(int column) const {
    return column >= 0 && column < GetColumnCount() ? m_columns[static_cast<std::size_t>(column)].width : 0;
}

void CCtrlSkinList::FitColumnsToContent(int first, int last) {
    const QFontMetrics metrics(font(), this);  // as painted on this widget, at its resolution
    for (int column = std::max(first, 0); column <= last && column < GetColumnCount(); ++column) {
        Column& entry = m_columns[static_cast<std::size_t>(column)];
        int widest = metrics.horizontalAdvance(entry.header);
        for (const Row& row : m_rows) {
            widest = std::max(widest, metrics.horizontalAdvance(row.texts.value(column)));
        }
        // A few pixels to spare: a painter on another device (a grab, a print) may hint the
        // same text a pixel or two wider than these metrics.
        entry.width = widest + kCellPadding + kFitSlack;
    }
    updateScrollBars();
}

void CCtrlSkinList::SetColumnHeader(int column, const QString& header) {
    if (column >= 0 && column < GetColumnCount()) {
        m_columns[static_cast<std::size_t>(column)].header = header;
        update();
    }
}

int CCtrlSkinList::InsertItem(int row, const QString& firstText) {
    row = std::clamp(row, 0, GetItemCount());
    Row entry;
    for (int i = 0; i < std::max(GetColumnCount(), 1); ++i) {
        entry.texts.append(QString());
    }
    entry.texts[0] = firstText;
    m_rows.insert(m_rows.begin() + row, entry);
    // Marks below the new row move down with their rows.
    if (m_selected >= row) {
        ++m_selected;
    }
    if (m_indicated >= row) {
        ++m_indicated;
    }
    m_allChecked = false;
    updateScrollBars();
    return row;
}

bool CCtrlSkinList::SetItemText(int row, int column, const QString& text) {
    if (row < 0 || row >= GetItemCount() || column < 0 ||
        column >= m_rows[static_cast<std::size_t>(row)].texts.size()) {
        return false;
    }
    m_rows[static_cast<std::size_t>(row)].texts[column] = text;
    update();
    return true;
}

QString CCtrlSkinList::GetItemText(int row, int column) const {
    if (row < 0 || row >= GetItemCount()) {
        return {};
    }
    return m_rows[static_cast<std::size_t>(row)].texts.value(column);
}

void CCtrlSkinList::DeleteAllItems() {
    m_rows.clear();
    m_selected = -1;
    m_indicated = -1;
    m_allChecked = false;
    m_vertical->SetValue(0);
    updateScrollBars();
}

void CCtrlSkinList::SetRowWarning(int row, bool warning) {
    if (row < 0 || row >= GetItemCount()) {
        return;
    }
    m_rows[static_cast<std::size_t>(row)].warning = warning;
    update();
}

bool CCtrlSkinList::GetRowWarning(int row) const {
    return row >= 0 && row < GetItemCount() && m_rows[static_cast<std::size_t>(row)].warning;
}

void CCtrlSkinList::SetCheck(int row, bool checked) {
    if (row < 0 || row >= GetItemCount()) {
        return;
    }
    Row& entry = m_rows[static_cast<std::size_t>(row)];
    if (entry.checked != checked) {
        entry.checked = checked;
        emit checkChanged(row, checked);
    }
    m_allChecked = !m_rows.empty() && GetCheckedCount() == GetItemCount();
    update();
}

bool CCtrlSkinList::GetCheck(int row) const {
    return row >= 0 && row < GetItemCount() && m_rows[static_cast<std::size_t>(row)].checked;
}

int CCtrlSkinList::GetCheckedCount() const {
    return static_cast<int>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.checked; }));
}

void CCtrlSkinList::setAllChecked(bool checked) {
    for (int row = 0; row < GetItemCount(); ++row) {
        SetCheck(row, checked);
    }
    m_allChecked = checked && !m_rows.empty();
    update();
}

void CCtrlSkinList::SetSelectedRow(int row) {
    m_selected = row >= 0 && row < GetItemCount() ? row : -1;
    update();
}

void CCtrlSkinList::SetIndicatedRow(int row) {
    m_indicated = row >= 0 && row < GetItemCount() ? row : -1;
    if (m_indicated >= 0) {
        EnsureVisible(m_indicated);
    }
    update();
}

CCtrlSkinList::RowState CCtrlSkinList::GetRowState(int row) const {
    if (row >= 0 && row == m_indicated) {
        return RowState::Indicated;
    }
    return row >= 0 && row == m_selected ? RowState::Selected : RowState::Normal;
}

void CCtrlSkinList::EnsureVisible(int row) {
    if (row < 0 || row >= GetItemCount()) {
        return;
    }
    const int top = GetTopRow();
    const int shown = std::max(visibleRows(), 1);
    if (row < top) {
        m_vertical->SetValue(row);
    } else if (row >= top + shown) {
        m_vertical->SetValue(row - shown + 1);
    }
}

int CCtrlSkinList::GetTopRow() const {
    return m_vertical->GetValue();
}

int CCtrlSkinList::GetHorizontalOffset() const {
    return m_horizontalBar->isVisibleTo(this) ? m_horizontalBar->GetValue() : 0;
}

QSize CCtrlSkinList::sizeHint() const {
    return {contentWidth() + kScrollBarWidth, m_headerHeight + m_rowHeight * 10};
}

int CCtrlSkinList::contentWidth() const {
    int total = 0;
    for (const Column& column : m_columns) {
        total += column.width;
    }
    return total;
}

// The rows' area: below the header, left of the vertical bar, above the horizontal bar. Whether
// the bar is shown is the list's own choice, not whether the list's window is on screen yet: a
// list laid out before its page is shown would otherwise leave its rows under the bar.
QRect CCtrlSkinList::viewRect() const {
    const int bottom = m_horizontalBar->isVisibleTo(this) ? kScrollBarWidth : 0;
    return QRect(0, m_headerHeight, width() - kScrollBarWidth,
                 height() - m_headerHeight - bottom);
}

int CCtrlSkinList::visibleRows() const {
    return viewRect().height() / m_rowHeight;
}

void CCtrlSkinList::updateScrollBars() {
    const bool wide = m_horizontal && contentWidth() > width() - kScrollBarWidth;
    m_horizontalBar->setVisible(wide);
    m_horizontalBar->setGeometry(0, height() - kScrollBarWidth, width() - kScrollBarWidth,
                                 kScrollBarWidth);
    m_horizontalBar->SetRange(wide ? contentWidth() - (width() - kScrollBarWidth) : 0,
                              std::max(width() - kScrollBarWidth, 1));
    m_vertical->setGeometry(width() - kScrollBarWidth, m_headerHeight, kScrollBarWidth,
                            viewRect().height());
    const int shown = std::max(visibleRows(), 1);
    m_vertical->SetRange(std::max(GetItemCount() - shown, 0), shown);
    update();
}

QRect CCtrlSkinList::RowRect(int row) const {
    const int offset = row - GetTopRow();
    if (row < 0 || row >= GetItemCount() || offset < 0 || offset >= visibleRows() + 1) {
        return {};
    }
    const QRect view = viewRect();
    return QRect(view.left(), view.top() + offset * m_rowHeight, view.width(), m_rowHeight)
        .intersected(view);
}

QRect CCtrlSkinList::CheckRect(int row) const {
    const QRect rowRect = RowRect(row);
    if (rowRect.isEmpty() || m_columns.empty()) {
        return {};
    }
    const int columnWidth = m_columns.front().width;
    return QRect(rowRect.left() - GetHorizontalOffset() + (columnWidth - kCheckSide) / 2,
                 rowRect.top() + (m_rowHeight - kCheckSide) / 2, kCheckSide, kCheckSide);
}

QRect CCtrlSkinList::HeaderCheckRect() const {
    if (m_columns.empty()) {
        return {};
    }
    return QRect(-GetHorizontalOffset() + (m_columns.front().width - kCheckSide) / 2,
                 (m_headerHeight - kCheckSide) / 2, kCheckSide, kCheckSide);
}

int CCtrlSkinList::rowAt(const QPoint& point) const {
    if (!viewRect().contains(point)) {
        return -1;
    }
    const int row = GetTopRow() + (point.y() - viewRect().top()) / m_rowHeight;
    return row < GetItemCount() ? row : -1;
}

void CCtrlSkinList::selectByUser(int row) {
    if (row < 0 || row >= GetItemCount()) {
        return;
    }
    SetSelectedRow(row);
    EnsureVisible(row);
    emit notify(kNotifySelect, m_id, row);
}

void CCtrlSkinList::paintHeader(QPainter& painter) {
    const QRect header(0, 0, width() - kScrollBarWidth, m_headerHeight);
    drawStretched(painter, header, m_images.header);
    int x = -GetHorizontalOffset();
    painter.setPen(m_colours.header);
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const QRect cell(x, 0, m_columns[i].width, m_headerHeight);
        if (i == 0) {
            drawStretched(painter, cell, m_images.checkColumn);
            drawStretched(painter, HeaderCheckRect(),
                          m_allChecked ? m_images.checked : m_images.unchecked);
        } else {
            painter.drawText(cell.adjusted(6, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter,
                             m_columns[i].header);
        }
        x += m_columns[i].width;
    }
}

void CCtrlSkinList::paintRow(QPainter& painter, int row) {
    const QRect rowRect = RowRect(row);
    if (rowRect.isEmpty()) {
        return;
    }
    const RowState state = GetRowState(row);
    drawStretched(painter, rowRect,
                  state == RowState::Normal ? m_images.row : m_images.rowSelected);
    if (state == RowState::Indicated) {
        painter.fillRect(QRect(rowRect.left(), rowRect.top(), 3, rowRect.height()),
                         m_colours.indicated);
    }
    const Row& entry = m_rows[static_cast<std::size_t>(row)];
    painter.setPen(state == RowState::Indicated  ? m_colours.indicated
                   : entry.warning               ? m_colours.warning
                   : state == RowState::Selected ? m_colours.selected
                                                 : m_colours.normal);
    int x = -GetHorizontalOffset();
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const QRect cell(x, rowRect.top(), m_columns[i].width, rowRect.height());
        if (i == 0) {
            drawStretched(painter, CheckRect(row),
                          entry.checked ? m_images.checked : m_images.unchecked);
        } else {
            const QString text = painter.fontMetrics().elidedText(
                entry.texts.value(static_cast<int>(i)), Qt::ElideRight, cell.width() - 10);
            painter.drawText(cell.adjusted(6, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        x += m_columns[i].width;
    }
}

void CCtrlSkinList::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    beginControlPaint(painter, *this);
    drawStretched(painter, rect(), m_images.background);
    paintHeader(painter);
    painter.save();
    painter.setClipRect(viewRect());
    const int last = std::min(GetTopRow() + visibleRows() + 1, GetItemCount());
    for (int row = GetTopRow(); row < last; ++row) {
        paintRow(painter, row);
    }
    painter.restore();
    if (hasFocus()) {
        drawFocusFrame(painter, rect());
    }
}

void CCtrlSkinList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateScrollBars();
}

void CCtrlSkinList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = event->position().toPoint();
    const QRect headerCheck = HeaderCheckRect().adjusted(-4, -4, 4, 4);
    if (point.y() < m_headerHeight) {
        if (headerCheck.contains(point)) {
            setAllChecked(!m_allChecked);
        }
        return;
    }
    const int row = rowAt(point);
    if (row < 0) {
        return;
    }
    if (CheckRect(row).adjusted(-6, -6, 6, 6).contains(point)) {
        SetCheck(row, !GetCheck(row));
        return;
    }
    selectByUser(row);
}

void CCtrlSkinList::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && row >= 0 &&
        !CheckRect(row).adjusted(-6, -6, 6, 6).contains(event->position().toPoint())) {
        emit notify(kNotifyActivate, m_id, row);
    }
}

void CCtrlSkinList::keyPressEvent(QKeyEvent* event) {
    const int count = GetItemCount();
    if (count == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int current = std::max(m_selected, 0);
    const int page = std::max(visibleRows() - 1, 1);
    switch (event->key()) {
    case Qt::Key_Down:
        selectByUser(m_selected < 0 ? 0 : std::min(current + 1, count - 1));
        break;
    case Qt::Key_Up:
        selectByUser(std::max(current - 1, 0));
        break;
    case Qt::Key_PageDown:
        selectByUser(std::min(current + page, count - 1));
        break;
    case Qt::Key_PageUp:
        selectByUser(std::max(current - page, 0));
        break;
    case Qt::Key_Home:
        selectByUser(0);
        break;
    case Qt::Key_End:
        selectByUser(count - 1);
        break;
    case Qt::Key_Space:
        if (m_selected >= 0) {
            SetCheck(m_selected, !GetCheck(m_selected));
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_selected >= 0) {
            emit notify(kNotifyActivate, m_id, m_selected);
        }
        break;
    case Qt::Key_Left:
        m_horizontalBar->SetValue(m_horizontalBar->GetValue() - 40);
        break;
    case Qt::Key_Right:
        m_horizontalBar->SetValue(m_horizontalBar->GetValue() + 40);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CCtrlSkinList::wheelEvent(QWheelEvent* event) {
    m_vertical->SetValue(m_vertical->GetValue() - m_wheel.Take(*event) * 3);
    event->accept();
}
