#include "viewer/dialogs/CDoExportTrack.h"

#include "viewer/dialogs/DialogTexts.h"

namespace viewer::dialogs {

CDoExportTrack::CDoExportTrack(const CExLangManager& language, tachy::viewer::TrackExport work,
                               QWidget* parent)
    : WorkerProgressDialog(DialogTexts::Text(language, "export track title"),
                           DialogTexts::Text(language, "common cancel"), parent),
      m_work(std::move(work)) {
    setObjectName(QStringLiteral("CDoExportTrack"));
}

CDoExportTrack::~CDoExportTrack() {
    JoinWorker();
}

void CDoExportTrack::Work(const std::atomic<bool>& cancel, const Progress& progress) {
    m_outcome = m_work.Run(cancel, progress);
}

} // namespace viewer::dialogs
