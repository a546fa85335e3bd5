#include "display/CWndDisplay.h"

#include "display/CWndScrD3D.h"

#include <cstdlib>

CWndDisplay* CWndDisplay::CreateDisplay(int kind, QWidget* parent) {
    if (kind != 0 && kind != 1) {
        return nullptr;
    }
    auto* display = new CWndScrD3D(parent);  // owned by `parent`
    display->setGeometry(QRect());
    display->show();
    return display;
}

CWndDisplay::CWndDisplay(QWidget* parent) : QWidget(parent) {}

CWndDisplay::~CWndDisplay() = default;

void CWndDisplay::SetInitFont(const QString& face, int height, const QString& /*text*/, unsigned long /*colour*/) {
    m_font = std::make_unique<QFont>(face);
    if (height != 0) {
        m_font->setPixelSize(std::abs(height));
    }
    m_font->setWeight(QFont::Normal);
}
