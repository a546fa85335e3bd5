#pragma once
// The progress dialog of "Export video": runs the export on its worker thread with the span's
// progress on the bar and the time left, estimated from the pace so far, under it. Cancel stops
// the export after the picture in hand; a stopped export leaves no file.

#include "viewer/dialogs/WorkerProgressDialog.h"
#include "viewer/exports/VideoExport.h"

#include <QElapsedTimer>

class CExLangManager;
class QLabel;
class QTimer;

namespace viewer::dialogs {

class CDoExportVideo : public WorkerProgressDialog {
    Q_OBJECT

public:
    CDoExportVideo(const CExLangManager& language, tachy::viewer::VideoExport work,
                   QWidget* parent);
    ~CDoExportVideo() override;
    CDoExportVideo(const CDoExportVideo&) = delete;
    CDoExportVideo& operator=(const CDoExportVideo&) = delete;

    // Valid once the dialog has closed.
    tachy::viewer::VideoExport::Outcome Outcome() const { return m_outcome; }
    const tachy::viewer::VideoExport& Export() const { return m_work; }
    QLabel* TimeLeft() const { return m_timeLeft; }

protected:
    void Work(const std::atomic<bool>& cancel, const Progress& progress) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowTimeLeft();

    const CExLangManager& m_language;  // borrowed; outlives the dialog
    tachy::viewer::VideoExport m_work; // worker thread until it ends, then GUI thread
    tachy::viewer::VideoExport::Outcome m_outcome = tachy::viewer::VideoExport::Outcome::Stopped;
    QLabel* m_timeLeft = nullptr; // child
    QTimer* m_clock = nullptr;    // child
    QElapsedTimer m_spent;        // GUI thread
};

} // namespace viewer::dialogs
