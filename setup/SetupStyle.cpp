#include "setup/SetupStyle.h"

#include "skinres/CExLangManager.h"

#include <QFont>
#include <QString>
#include <QWidget>

namespace setup {
namespace {

// Background, panel, raised control, text, secondary text, accent.
constexpr const char* kStyleSheet = R"(
QDialog { background: #15171A; color: #E6E8EB; }
QWidget { color: #E6E8EB; }
QGroupBox { background: #1E2126; border: 1px solid #2A2E35; border-radius: 8px;
            margin-top: %2px; padding-top: 4px; font-size: %3px; font-weight: bold; }
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #E6E8EB; }
QLabel { color: #9AA1AA; background: transparent; }
QRadioButton, QCheckBox { background: transparent; spacing: 5px; }
QRadioButton:disabled, QCheckBox:disabled, QPushButton:disabled { color: #5C636C; }
QRadioButton::indicator { width: 12px; height: 12px; border-radius: 7px;
                          border: 1px solid #4A505A; background: #2A2E35; }
QRadioButton::indicator:checked { background: #3D8BFD; border: 1px solid #3D8BFD; }
QCheckBox::indicator { width: 12px; height: 12px; border-radius: 3px;
                       border: 1px solid #4A505A; background: #2A2E35; }
QCheckBox::indicator:checked { background: #3D8BFD; border: 1px solid #3D8BFD; }
QComboBox, QLineEdit, QDateEdit, QTimeEdit { background: #2A2E35; border: 1px solid #353A42;
            border-radius: 6px; padding: 2px 6px; min-height: 20px; }
QComboBox:focus, QLineEdit:focus, QDateEdit:focus, QTimeEdit:focus { border: 1px solid #3D8BFD; }
QComboBox QAbstractItemView { background: #2A2E35; selection-background-color: #3D8BFD; }
QLineEdit[readOnly="true"] { background: #1E2126; color: #9AA1AA; }
QPushButton { background: #2A2E35; border: 1px solid #353A42; border-radius: 8px;
              padding: 4px 10px; }
QPushButton:hover { background: #353A42; }
QPushButton:pressed { background: #1E2126; border: 1px solid #3D8BFD; }
QPushButton:focus { border: 1px solid #3D8BFD; }
QMessageBox { background: #1E2126; }
)";

} // namespace

void ApplySetupStyle(QWidget& window, const CExLangManager& language) {
    const CExLangManager::FontInfo& fontInfo = language.GetFontInfo();
    QFont font(fontInfo.name.isEmpty() ? QStringLiteral("DejaVu Sans") : fontInfo.name);
    font.setPixelSize(fontInfo.small);
    window.setFont(font);
    window.setStyleSheet(QString::fromLatin1(kStyleSheet)
                             .replace(QStringLiteral("%2"), QString::number(fontInfo.small))
                             .replace(QStringLiteral("%3"), QString::number(fontInfo.small + 1)));
}

} // namespace setup
