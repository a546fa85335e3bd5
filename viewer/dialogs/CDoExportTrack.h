#pragma once
// The progress dialog of "Export track": reads the driving data of the chosen recordings and
// writes the track on its worker thread, a step per recording file; Cancel stops after the
// file in hand and leaves no file.

#include "viewer/dialogs/WorkerProgressDialog.h"
#include "viewer/exports/TrackExport.h"

class CExLangManager;

namespace viewer::dialogs {

class CDoExportTrack : public WorkerProgressDialog {
    Q_OBJECT

public:
    CDoExportTrack(const CExLangManager& language, tachy::viewer::TrackExport work,
                   QWidget* parent);
    ~CDoExportTrack() override;
    CDoExportTrack(const CDoExportTrack&) = delete;
    CDoExportTrack& operator=(const CDoExportTrack&) = delete;

    // Valid once the dialog has closed.
    tachy::viewer::TrackExport::Outcome Outcome() const { return m_outcome; }
    int Points() const { return m_work.Points(); }

protected:
    void Work(const std::atomic<bool>& cancel, const Progress& progress) override;

private:
    tachy::viewer::TrackExport m_work; // worker thread until it ends, then GUI thread
    tachy::viewer::TrackExport::Outcome m_outcome = tachy::viewer::TrackExport::Outcome::Stopped;
};

} // namespace viewer::dialogs
