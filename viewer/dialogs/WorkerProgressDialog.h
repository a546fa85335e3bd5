#pragma once
// A progress dialog whose work runs on a thread of its own: the worker starts when the dialog is
// first shown, reports its position through queued calls, and closes the dialog when it ends.
// Esc and Enter do not close it; its Cancel button asks the worker to stop after the item in
// hand, and the dialog closes once the worker has stopped.
//
// Threads: Work runs on the worker thread and must not touch widgets; everything else runs on
// the GUI thread. The worker is always joined before the dialog goes away.

#include <QDialog>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;

namespace viewer::dialogs {

class WorkerProgressDialog : public QDialog {
    Q_OBJECT

public:
    ~WorkerProgressDialog() override;
    WorkerProgressDialog(const WorkerProgressDialog&) = delete;
    WorkerProgressDialog& operator=(const WorkerProgressDialog&) = delete;

    // The Cancel button: the worker stops after the item in hand.
    void Cancel();
    bool Finished() const { return m_finished; }
    QProgressBar* Bar() const { return m_bar; }

protected:
    using Progress = std::function<void(std::int64_t position, std::int64_t range)>;

    WorkerProgressDialog(const QString& title, const QString& cancelText, QWidget* parent);

    // The work, on the worker thread. `progress` may be called as often as convenient.
    virtual void Work(const std::atomic<bool>& cancel, const Progress& progress) = 0;

    // Cancels and waits for the worker. Derived classes call it in their destructor, before
    // the members the work uses are gone.
    void JoinWorker();

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

public slots:
    // Only the end of the work closes the dialog.
    void reject() override;

private:
    void Start();
    void Report(std::int64_t position, std::int64_t range);
    void ShowProgress();
    void OnWorkEnded();

    QProgressBar* m_bar = nullptr;         // child
    QPushButton* m_cancelButton = nullptr; // child
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::atomic<std::int64_t> m_position{0};
    std::atomic<std::int64_t> m_range{0};
    std::atomic<bool> m_progressQueued{false};
    bool m_started = false;  // GUI thread
    bool m_finished = false; // GUI thread
};

} // namespace viewer::dialogs
