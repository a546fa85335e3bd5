#include "setup/SetupFlowLayout.h"

#include <QWidget>
#include <algorithm>

SetupFlowLayout::SetupFlowLayout(QWidget* parent, int horizontalSpacing, int verticalSpacing)
    : QLayout(parent), m_horizontalSpacing(horizontalSpacing), m_verticalSpacing(verticalSpacing) {
    setContentsMargins(0, 0, 0, 0);
}

SetupFlowLayout::~SetupFlowLayout() {
    while (!m_items.isEmpty()) {
        delete m_items.takeFirst();
    }
}

void SetupFlowLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
}

int SetupFlowLayout::count() const {
    return static_cast<int>(m_items.size());
}

QLayoutItem* SetupFlowLayout::itemAt(int index) const {
    return m_items.value(index);
}

QLayoutItem* SetupFlowLayout::takeAt(int index) {
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

Qt::Orientations SetupFlowLayout::expandingDirections() const {
    return {};
}

bool SetupFlowLayout::hasHeightForWidth() const {
    return true;
}

int SetupFlowLayout::heightForWidth(int width) const {
    return Arrange(QRect(0, 0, width, 0), false);
}

QSize SetupFlowLayout::minimumSize() const {
    // As narrow as the widest single item.
    QSize size;
    for (const QLayoutItem* item : m_items) {
        size = size.expandedTo(item->minimumSize());
    }
    return size;
}

QSize SetupFlowLayout::sizeHint() const {
    // All on one line.
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : m_items) {
        width += item->sizeHint().width() + (width > 0 ? m_horizontalSpacing : 0);
        height = std::max(height, item->sizeHint().height());
    }
    return {width, height};
}

void SetupFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int SetupFlowLayout::Arrange(const QRect& rect, bool apply) const {
    int x = rect.x();
    int y = rect.y();
    int lineHeight = 0;
    for (QLayoutItem* item : m_items) {
        const QSize hint = item->sizeHint();
        if (x > rect.x() && x + hint.width() > rect.right() + 1) {
            x = rect.x();
            y += lineHeight + m_verticalSpacing;
            lineHeight = 0;
        }
        if (apply) {
            item->setGeometry(QRect(QPoint(x, y), hint));
        }
        x += hint.width() + m_horizontalSpacing;
        lineHeight = std::max(lineHeight, hint.height());
    }
    return y + lineHeight - rect.y();
}
