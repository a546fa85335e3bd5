#pragma once
// The viewer's keyboard table, the same for the whole main window and its full-screen window.
// An application-wide event filter takes the table's keys before the child control that has
// the focus (the list, a slider, a filter button) can use them for its own purpose, so that
// Space pauses and Up raises the volume whatever was clicked last. Text fields keep their
// keys; other top-level windows (dialogs, message boxes, menus) are left alone.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;

namespace viewer {

class ViewerKeyboard : public QObject {
public:
    using Handler = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;

    // `windows` are the top-level windows whose keys the table takes (the main window and the
    // full-screen window); `handler` is given every key the table claims.
    ViewerKeyboard(std::vector<QWidget*> windows, Handler handler, QObject* parent);

    // Whether the table has an action for the key with these modifiers (the keypad flag
    // aside: the keypad's Enter is Enter).
    static bool Claims(int key, Qt::KeyboardModifiers modifiers);
    // The modifiers that matter to the table: Shift, Control and Alt.
    static Qt::KeyboardModifiers Relevant(Qt::KeyboardModifiers modifiers);
    // " (F2)" style text for a button's tool tip, empty when the text is empty.
    static QString WithKey(const QString& tip, const char* key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Covers(const QObject* watched) const;

    std::vector<QWidget*> m_windows;
    Handler m_handler;
};

// Whether the widget takes typed text (a line or text editor, a spin box, an editable combo
// box), in which case the keyboard table leaves its keys to it.
bool TakesText(const QWidget* widget);

} // namespace viewer
