#pragma once
// Waiting in Qt tests: the event loop keeps running while a test waits for a condition, and a
// modal dialog is handled from inside the loop that shows it.

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <functional>

namespace tachy::test {

// Processes events until `done` or `milliseconds` have passed; whether `done` came true.
template <typename Done> bool waitFor(Done done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
    return true;
}

// Runs `action` once on the dialog of type T when it is the active modal widget, from a timer,
// so that it runs inside the modal loop that shows the dialog.
template <typename T> void whenOpen(std::function<void(T&)> action) {
    auto* timer = new QTimer; // NOLINT(cppcoreguidelines-owning-memory): deletes itself
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(*dialog);
    });
    timer->start();
}

} // namespace tachy::test
