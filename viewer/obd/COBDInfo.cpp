#include "viewer/obd/COBDInfo.h"

#include <iterator>

#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/obd/ObdDriveLog.h"

#include <QHeaderView>
#include <QScreen>
#include <QTreeWidget>

#include <algorithm>

using namespace viewer::obd;

COBDInfo::COBDInfo(const ViewerContext& context, QWidget* parent)
    : QDialog(parent), m_context(context) {
    setObjectName(QStringLiteral("OBDInfo"));
    setWindowTitle(context.language->GetText(QStringLiteral("obd info title")));
    m_list = new QTreeWidget(this); // owned by the dialog
    m_list->setObjectName(QStringLiteral("OBDInfo List"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumnCount(kLogColumns);
    // Every header key written out, so that the language files can be checked against them.
    static const char* const kHeaderKeys[] = {"obd info col1", "obd info col2", "obd info col3", "obd info col4",
                                              "obd info col5", "obd info col6", "obd info col7"};
    static_assert(std::size(kHeaderKeys) == kLogColumns);
    QStringList headers;
    for (const char* key : kHeaderKeys) {
        headers << context.language->GetText(QString::fromLatin1(key));
    }
    m_list->setHeaderLabels(headers);
    for (int column = 0; column < kLogColumns; ++column) {
        m_list->setColumnWidth(column, kColumnWidths[column]);
    }
    PlaceOverParent();
}

bool COBDInfo::Load(const std::filesystem::path& loadedPath) {
    m_list->clear();
    const std::optional<std::filesystem::path> file = FindObdDriveLog(loadedPath);
    if (!file) {
        return false;
    }
    const std::optional<std::vector<LogRow>> rows = ReadObdDriveLog(*file);
    if (!rows) {
        return false;
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows->size()));
    for (const LogRow& row : *rows) {
        items.append(new QTreeWidgetItem(QStringList(row.begin(), row.end()))); // owned by the list
    }
    m_list->addTopLevelItems(items);
    return true;
}

void COBDInfo::PlaceOverParent() {
    const _WIN_POS* element = m_context.positions->GetWinPos(QStringLiteral("OBDInfo"));
    const QSize size = element != nullptr && element->width > 0 && element->height > 0
                           ? QSize(element->width, element->height)
                           : QSize(620, 420);
    resize(size);
    QWidget* over = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (over == nullptr) {
        return;
    }
    const QRect frame = over->geometry();
    QPoint topLeft(frame.x() + (frame.width() - size.width()) / 2,
                   frame.y() + (frame.height() - size.height()) / 2);
    const QScreen* screen = over->screen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : QRect();
    topLeft.setX(std::max(topLeft.x(), available.left()));
    topLeft.setY(std::max(topLeft.y(), available.top()));
    move(topLeft);
}

void COBDInfo::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_list->setGeometry(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));
}
