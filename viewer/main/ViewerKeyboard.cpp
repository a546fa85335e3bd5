#include "viewer/main/ViewerKeyboard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>
#include <utility>

namespace viewer {
namespace {

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

ViewerKeyboard::ViewerKeyboard(std::vector<QWidget*> windows, Handler handler, QObject* parent)
    : QObject(parent), m_windows(std::move(windows)), m_handler(std::move(handler)) {
    QCoreApplication::instance()->installEventFilter(this);
}

Qt::KeyboardModifiers ViewerKeyboard::Relevant(Qt::KeyboardModifiers modifiers) {
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

bool ViewerKeyboard::Claims(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers relevant = Relevant(modifiers);
    switch (key) {
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F5:
    case Qt::Key_F6:
    case Qt::Key_F9:
    case Qt::Key_F10:
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Right:
    case Qt::Key_Left:
    case Qt::Key_F:
    case Qt::Key_T: // the trip figures
    case Qt::Key_Escape:
        return relevant == kNone;
    case Qt::Key_I: // the next incident, with Shift the previous one
        return relevant == kNone || relevant == Qt::ShiftModifier;
    case Qt::Key_E: // Ctrl+E "Export video", Ctrl+Shift+E "Export track"
        return relevant == Qt::ControlModifier ||
               relevant == (Qt::ControlModifier | Qt::ShiftModifier);
    case Qt::Key_Up:
    case Qt::Key_Down:
        return relevant == kNone || relevant == Qt::ControlModifier;
    case Qt::Key_Space:
        return relevant == kNone ||
               relevant == (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    default:
        return IsEnter(key) &&
               (relevant == kNone || relevant == Qt::ShiftModifier || relevant == Qt::ControlModifier);
    }
}

QString ViewerKeyboard::WithKey(const QString& tip, const char* key) {
    if (tip.isEmpty() || key == nullptr || *key == '\0') {
        return tip;
    }
    return tip + QStringLiteral(" (") + QString::fromLatin1(key) + QLatin1Char(')');
}

bool TakesText(const QWidget* widget) {
    if (widget == nullptr) {
        return false;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->isEditable();
    }
    return qobject_cast<const QLineEdit*>(widget) != nullptr || qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

bool ViewerKeyboard::Covers(const QObject* watched) const {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    const QWidget* window = widget->window();
    for (const QWidget* covered : m_windows) {
        if (covered == window) {
            return true;
        }
    }
    return false;
}

bool ViewerKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (!Claims(key->key(), key->modifiers()) || !Covers(watched) ||
        TakesText(qobject_cast<const QWidget*>(watched))) {
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The key is the table's: no shortcut of a child may take it first.
        event->accept();
        return false;
    }
    m_handler(key->key(), key->modifiers());
    return true;
}

} // namespace viewer
