#include "viewer/boxes/CWndFunc.h"

#include "skinctl/CCtrlButtonEx.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/app/WindowLayout.h"

#include <QPainter>

namespace {

const char* const kButtonImages[3] = {"btn_list_", "btn_map_", "btn_obd_"};
const char* const kTabTexts[3] = {"tab list", "tab map", "tab obd"};
const char* const kTabPositions[3] = {"List", "Map", "OBD"};
const char* const kBoxImages[3] = {"tab_list_box", "tab_map_box", "tab_obd_box"};

} // namespace

CWndFunc::CWndFunc(QWidget* parent, const ViewerContext& context, bool showMap, bool showObd)
    : QWidget(parent), m_context(context) {
    // Push-like radio buttons, except for the models whose panel has plain buttons.
    const int model = context.modelCode;
    const bool radio = model != 0 && model != 2 && model != 3;
    for (int tab = 0; tab < 3; ++tab) {
        auto* button = new CCtrlButtonEx(this);  // owned by the panel
        button->SetImages(tachy::skinctl::SkinStateImages::fromSkin(*context.images,
                                                                    QString::fromLatin1(kButtonImages[tab])));
        button->setCheckable(radio);
        button->setAutoExclusive(radio);
        connect(button, &QAbstractButton::clicked, this, [this, tab] { SelectTab(tab); });
        m_buttons[static_cast<std::size_t>(tab)] = button;
    }
    m_buttons[1]->setVisible(showMap);
    m_buttons[2]->setVisible(showObd);
    m_offered = {true, showMap, showObd};
    if (radio) {
        m_buttons[0]->setChecked(true);
    }
    OnLanguageChanged();
}

void CWndFunc::OnLanguageChanged() {
    for (std::size_t tab = 0; tab < m_buttons.size(); ++tab) {
        m_buttons[tab]->setToolTip(m_context.language->GetText(QString::fromLatin1(kTabTexts[tab])));
    }
}

bool CWndFunc::OffersTab(int tab) const {
    return tab >= 0 && tab <= 2 && m_offered[static_cast<std::size_t>(tab)];
}

void CWndFunc::SetPage(int tab, QWidget* page) {
    if (tab < 0 || tab > 2 || page == nullptr) {
        return;
    }
    page->setParent(this);
    m_pages[static_cast<std::size_t>(tab)] = page;
    page->setVisible(tab == m_current);
    LayOut();
}

void CWndFunc::SelectTab(int tab) {
    if (!OffersTab(tab)) {
        return;
    }
    if (tab != m_current) {
        m_current = tab;
        for (int index = 0; index < 3; ++index) {
            if (QWidget* page = m_pages[static_cast<std::size_t>(index)]) {
                page->setVisible(index == tab);
            }
        }
    }
    if (m_buttons[static_cast<std::size_t>(tab)]->isCheckable()) {
        m_buttons[static_cast<std::size_t>(tab)]->setChecked(true);
    }
    update();
}

void CWndFunc::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QImage* background = m_context.images->GetImageFile(QStringLiteral("HD-Bg"));
    if (background != nullptr && !background->isNull()) {
        // The panel shows the top-left part of the background at one-to-one; the part is cut
        // in the picture's own pixels, twice as many each way in a double-size picture.
        const qreal ratio = background->devicePixelRatio();
        painter.drawImage(rect(), *background,
                          QRectF(QPointF(0, 0), QSizeF(size()) * ratio));
    }
    const QImage* box = m_context.images->GetImageFile(QString::fromLatin1(kBoxImages[m_current]));
    const _WIN_POS* sub = m_context.positions->GetWinPos(QStringLiteral("List subWnd"));
    if (box != nullptr && !box->isNull() && sub != nullptr) {
        painter.drawImage(viewer::LayoutRect(*sub, width(), height()), *box);
    }
}

void CWndFunc::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CWndFunc::LayOut() {
    for (int tab = 0; tab < 3; ++tab) {
        const _WIN_POS* position = m_context.positions->GetWinPos(QString::fromLatin1(kTabPositions[tab]));
        if (position != nullptr) {
            m_buttons[static_cast<std::size_t>(tab)]->setGeometry(viewer::LayoutRect(*position, width(), height()));
        }
    }
    const _WIN_POS* sub = m_context.positions->GetWinPos(QStringLiteral("List subWnd"));
    const QRect pageRect = sub != nullptr ? viewer::LayoutRect(*sub, width(), height()) : rect();
    for (QWidget* page : m_pages) {
        if (page != nullptr) {
            page->setGeometry(pageRect);
        }
    }
}
