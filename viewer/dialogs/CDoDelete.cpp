#include "viewer/dialogs/CDoDelete.h"

#include "viewer/dialogs/DialogTexts.h"

namespace viewer::dialogs {
namespace {

tachy::viewer::RecordingDeleter::RemoveFile& removeOverride() {
    static tachy::viewer::RecordingDeleter::RemoveFile remove; // GUI thread only
    return remove;
}

} // namespace

CDoDelete::CDoDelete(const CExLangManager& language, std::vector<CTimeList> entries,
                     QWidget* parent)
    : WorkerProgressDialog(DialogTexts::Text(language, "common warning"),
                           DialogTexts::Text(language, "common cancel"), parent),
      m_entries(std::move(entries)) {
    setObjectName(QStringLiteral("CDoDelete"));
    if (removeOverride()) {
        m_deleter.SetRemoveFile(removeOverride());
    }
}

void CDoDelete::SetRemoveFile(tachy::viewer::RecordingDeleter::RemoveFile remove) {
    removeOverride() = std::move(remove);
}

CDoDelete::~CDoDelete() {
    JoinWorker();
}

void CDoDelete::Work(const std::atomic<bool>& cancel, const Progress& progress) {
    tachy::viewer::RecordingDeleter deleter = m_deleter;
    deleter.SetProgress(progress);
    m_result = deleter.Delete(m_entries, cancel);
}

} // namespace viewer::dialogs
