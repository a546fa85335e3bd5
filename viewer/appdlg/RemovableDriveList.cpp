#include "viewer/appdlg/RemovableDriveList.h"

#include "viewer/dialogs/DialogTexts.h"

#include <QHeaderView>
#include <QTimer>
#include <array>

namespace viewer::appdlg {

namespace {

constexpr int kPollMilliseconds = 1000;

struct Column {
    const char* headerKey;
    int width;
};
constexpr std::array<Column, 5> kColumns = {{{"dlg list column drive", 60},
                                             {"dlg list column name", 90},
                                             {"dlg list column space", 65},
                                             {"dlg list column used", 65},
                                             {"dlg list column unused", 65}}};

} // namespace

RemovableDriveList::RemovableDriveList(const CExLangManager& language,
                                       tachy::VolumeEnvironment environment, QWidget* parent)
    : QTreeWidget(parent), m_source(tachy::volumeSourceFor(environment)) {
    setObjectName(QStringLiteral("1010"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    // A mount point is longer than a drive letter: its end, the card's folder, is what tells
    // cards apart, and the tool tip holds the whole path.
    setTextElideMode(Qt::ElideLeft);
    setColumnCount(static_cast<int>(kColumns.size()));
    QStringList headers;
    for (const Column& column : kColumns) {
        headers.append(viewer::dialogs::DialogTexts::Text(language, column.headerKey));
    }
    setHeaderLabels(headers);
    header()->setStretchLastSection(false);
    for (int column = 0; column < static_cast<int>(kColumns.size()); ++column) {
        setColumnWidth(column, kColumns[static_cast<std::size_t>(column)].width);
        if (column >= 2) {
            headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    // Reading the mount table once a second costs next to nothing and needs no thread.
    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMilliseconds);
    connect(m_poll, &QTimer::timeout, this, [this] { CheckForChange(); });
    m_poll->start();
    // A notice may come on the source's thread: the check runs on the list's own.
    m_subscription = m_source->subscribe([this] {
        QMetaObject::invokeMethod(
            this, [this] { CheckForChange(); }, Qt::QueuedConnection);
    });
}

RemovableDriveList::~RemovableDriveList() {
    m_source->unsubscribe(m_subscription);
}

QString RemovableDriveList::Gigabytes(std::uint64_t bytes) {
    return QString::asprintf("%3.1fGB", static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0));
}

void RemovableDriveList::Refill() {
    m_listed = m_source->removableVolumes();
    clear();
    for (const tachy::RemovableVolume& card : m_listed) {
        auto* row = new QTreeWidgetItem(this); // owned by the list
        row->setText(0, QString::fromStdString(card.mountPoint));
        row->setToolTip(0, QString::fromStdString(card.mountPoint + " (" + card.device + ")"));
        row->setText(1, QString::fromStdString(card.label));
        row->setText(2, Gigabytes(card.totalBytes));
        row->setText(3, Gigabytes(card.totalBytes - std::min(card.freeBytes, card.totalBytes)));
        row->setText(4, Gigabytes(card.freeBytes));
        for (int column = 2; column < 5; ++column) {
            row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    clearSelection();
    setCurrentItem(nullptr);
    if (m_refilled) {
        m_refilled();
    }
}

bool RemovableDriveList::SameCards(const std::vector<tachy::RemovableVolume>& a,
                                   const std::vector<tachy::RemovableVolume>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].mountPoint != b[i].mountPoint || a[i].device != b[i].device ||
            a[i].label != b[i].label || a[i].totalBytes != b[i].totalBytes) {
            return false;
        }
    }
    return true;
}

bool RemovableDriveList::CheckForChange() {
    if (SameCards(m_source->removableVolumes(), m_listed)) {
        return false;
    }
    Refill();
    return true;
}

QString RemovableDriveList::SelectedDrive() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text(0);
}

} // namespace viewer::appdlg
