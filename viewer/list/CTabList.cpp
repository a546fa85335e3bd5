#include "viewer/list/CTabList.h"

#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/list/ListFormats.h"

#include <QAction>

using namespace tachy::viewer;

namespace {

constexpr int kColumnCount = 6;
constexpr const char* kColumnHeaderKeys[kColumnCount] = {
    nullptr, "list column1", "list column2", "list column3", "list column4", "list column5"};

QImage skinImage(const ViewerContext& context, const char* name) {
    const QImage* image =
        context.images == nullptr ? nullptr : context.images->GetImageFile(QLatin1String(name));
    return image == nullptr ? QImage() : *image;
}

const _WIN_POS* skinElement(const ViewerContext& context, const QString& name) {
    static const _WIN_POS none{};
    return context.positions == nullptr ? &none : context.positions->GetWinPos(name);
}

} // namespace

CTabList::CTabList(const ViewerContext& context, tachy::CommandTarget* owner, QWidget* parent)
    : QWidget(parent), m_context(context), m_owner(owner),
      m_filter(availableModes(context)) {
    createButtons();
    createListControl();
    placeControls();
    createIncidentScan();
    OnLanguageChanged();
    syncControl();
}

CTabList::~CTabList() = default;

std::array<bool, CTabList::kModeCount> CTabList::availableModes(const ViewerContext& context) {
    std::array<bool, kModeCount> available{};
    for (int mode = 0; mode < kModeCount; ++mode) {
        const auto index = static_cast<std::size_t>(mode);
        available[index] =
            skinElement(context, QLatin1String(kRecordModes[index].skinElement))->width != 0;
    }
    return available;
}

QString CTabList::text(const char* key) const {
    return m_context.language == nullptr ? QString()
                                         : m_context.language->GetText(QLatin1String(key));
}

QRect CTabList::elementRect(const char* element) const {
    const _WIN_POS* position = skinElement(m_context, QLatin1String(element));
    return {position->x, position->y, position->width, position->height};
}

void CTabList::createButtons() {
    const tachy::skinctl::SkinStateImages images =
        m_context.images == nullptr
            ? tachy::skinctl::SkinStateImages{}
            : tachy::skinctl::SkinStateImages::fromSkin(*m_context.images,
                                                         QStringLiteral("list_button_"));
    const auto make = [&](int id, bool checkable) {
        auto* button = new CCtrlButtonEx(this);
        button->setObjectName(QString::number(id));
        button->SetImages(images);
        button->setCheckable(checkable);
        return button;
    };
    m_allButton = make(kAllButtonId, true);
    connect(m_allButton, &CCtrlButtonEx::clicked, this, [this] { onAllClicked(); });
    for (int mode = 0; mode < kModeCount; ++mode) {
        const auto index = static_cast<std::size_t>(mode);
        CCtrlButtonEx* button = make(kRecordModes[index].buttonId, true);
        // A mode the skin has no place for keeps its button out of sight and unchanged.
        button->setVisible(m_filter.IsAvailable(mode));
        connect(button, &CCtrlButtonEx::clicked, this, [this, mode] { onModeClicked(mode); });
        m_modeButtons[index] = button;
    }
    m_saveButton = make(kSaveButtonId, false);
    connect(m_saveButton, &CCtrlButtonEx::clicked, this, [this] { send(kSaveButtonId, 0); });
    m_deleteButton = make(kDeleteButtonId, false);
    connect(m_deleteButton, &CCtrlButtonEx::clicked, this, [this] { send(kDeleteButtonId, 0); });
}

void CTabList::createListControl() {
    m_list = new CCtrlSkinList(kListControlId, this);
    m_list->setObjectName(QString::number(kListControlId));
    m_list->SetImages({skinImage(m_context, "list_list_bg"), skinImage(m_context, "list_row"),
                       skinImage(m_context, "list_row_select"),
                       skinImage(m_context, "list_column"), skinImage(m_context, "list_scroll_bg"),
                       skinImage(m_context, "list_scroll_thumb"),
                       skinImage(m_context, "list_checkbar"),
                       skinImage(m_context, "list_check_unchecked"),
                       skinImage(m_context, "list_check_checked")});
    // Text colours of "List ListBox": the text colour for normal rows, then the column header,
    // selected rows, the played row and the warning colour of incident rows.
    const _WIN_POS* box = skinElement(m_context, QStringLiteral("List ListBox"));
    // (Entry 0 is "ColorText", entries 1 to 4 are "Color00" to "Color03".)
    m_list->SetColours({QColor::fromRgba(box->color[0]), QColor::fromRgba(box->color[1]),
                        QColor::fromRgba(box->color[2]), QColor::fromRgba(box->color[3]),
                        QColor::fromRgba(box->color[4])});
    m_list->SetRowHeight(skinElement(m_context, QStringLiteral("List Row Info"))->height);
    const int headerHeight = skinElement(m_context, QStringLiteral("List Column Info0"))->height;
    if (headerHeight > 0) {
        m_list->SetHeaderHeight(headerHeight);
    }
    m_list->SetHorizontalScroll(HorizontalScrollForModel(m_context.modelCode));
    for (int column = 0; column < kColumnCount; ++column) {
        const char* key = kColumnHeaderKeys[column];
        const QString element = QStringLiteral("List Column Info%1").arg(column);
        m_list->InsertColumn(column, key == nullptr ? QString() : text(key),
                             skinElement(m_context, element)->width);
    }
    connect(m_list, &CCtrlSkinList::notify, this,
            [this](int message, int id, int row) { onListNotify(message, id, row); });
    connect(m_list, &CCtrlSkinList::checkChanged, this,
            [this](int row, bool checked) { onCheckChanged(row, checked); });
}

void CTabList::placeControls() {
    const QRect page = elementRect("List subWnd");
    if (!page.isEmpty()) {
        resize(page.size());
    }
    m_allButton->setGeometry(elementRect("List All"));
    for (int mode = 0; mode < kModeCount; ++mode) {
        const auto index = static_cast<std::size_t>(mode);
        m_modeButtons[index]->setGeometry(elementRect(kRecordModes[index].skinElement));
    }
    m_saveButton->setGeometry(elementRect("List Save"));
    m_deleteButton->setGeometry(elementRect("List Delete"));
    // The list is as tall as the model's visible rows under the header, within its element.
    QRect box = elementRect("List ListBox");
    const int rowHeight = skinElement(m_context, QStringLiteral("List Row Info"))->height;
    const int headerHeight = skinElement(m_context, QStringLiteral("List Column Info0"))->height;
    if (rowHeight > 0) {
        const int wanted = headerHeight + rowHeight * VisibleRowsForModel(m_context.modelCode);
        box.setHeight(std::min(box.height(), wanted));
    }
    m_list->setGeometry(box);
}

void CTabList::setCaption(CCtrlButtonEx* button, const char* key) {
    button->setText(text(key));
    button->setFont(fontFor(key));
}

QFont CTabList::fontFor(const char* key) const {
    QFont font = this->font();
    if (m_context.language == nullptr) {
        return font;
    }
    if (!m_context.language->GetFontName().isEmpty()) {
        font.setFamily(m_context.language->GetFontName());
    }
    // The language's sizes are the text heights the skin is drawn for, in pixels.
    const int size = m_context.language->GetTextInfo(QLatin1String(key))->fontSize;
    if (size > 0) {
        font.setPixelSize(size);
    }
    return font;
}

void CTabList::AddRowAction(QAction* action, const char* textKey, const char* keyText) {
    m_rowActions.push_back({action, textKey, keyText});
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_list->addAction(action);
    nameRowActions();
}

void CTabList::nameRowActions() {
    for (const RowAction& row : m_rowActions) {
        QString name = text(row.textKey);
        if (row.keyText != nullptr && *row.keyText != '\0') {
            name += QStringLiteral(" (") + QLatin1String(row.keyText) + QLatin1Char(')');
        }
        row.action->setText(name);
    }
}

void CTabList::OnLanguageChanged() {
    setCaption(m_allButton, "list all");
    for (int mode = 0; mode < kModeCount; ++mode) {
        const auto index = static_cast<std::size_t>(mode);
        setCaption(m_modeButtons[index], kRecordModes[index].textKey);
    }
    setCaption(m_saveButton, "list save");
    setCaption(m_deleteButton, "list delete");
    nameRowActions();
    m_list->setFont(fontFor(kColumnHeaderKeys[1]));
    for (int column = 1; column < kColumnCount; ++column) {
        m_list->SetColumnHeader(column, text(kColumnHeaderKeys[column]));
    }
    std::vector<QString> modeColumn;
    {
        const std::lock_guard lock(m_mutex);
        readModeTextsLocked();
        // Rows the control does not show yet get the new texts when they are filled.
        if (m_shownGeneration == m_rowsGeneration) {
            for (const auto& row : m_rows) {
                modeColumn.push_back(typeCellLocked(*row));
            }
        }
    }
    for (std::size_t row = 0; row < modeColumn.size(); ++row) {
        m_list->SetItemText(static_cast<int>(row), 1, modeColumn[row]);
    }
    fitColumns();
}

// The mode, date, time and length columns take the width their texts need in this language
// and font; the file name, last, takes what is left or scrolls.
void CTabList::fitColumns() {
    m_list->FitColumnsToContent(1, kColumnCount - 2);
}

QString CTabList::modeTextLocked(int mode) const {
    return mode >= 0 && mode < kModeCount ? m_modeTexts[static_cast<std::size_t>(mode)]
                                          : QString();
}

void CTabList::readModeTextsLocked() {
    for (int mode = 0; mode < kModeCount; ++mode) {
        const auto index = static_cast<std::size_t>(mode);
        m_modeTexts[index] = text(kRecordModes[index].textKey);
    }
}
