#include "viewer/exports/RecordingDeleter.h"

#include "viewer/exports/RecordingFiles.h"

namespace tachy::viewer {
namespace {

bool removeFromDisk(const std::filesystem::path& file, std::error_code& error) {
    return std::filesystem::remove(file, error);
}

} // namespace

RecordingDeleter::RecordingDeleter() : m_remove(&removeFromDisk) {}

DeleteResult RecordingDeleter::Delete(const std::vector<CTimeList>& entries,
                                      const std::atomic<bool>& cancel) const {
    DeleteResult result;
    const auto range = static_cast<std::int64_t>(entries.size());
    if (m_progress) {
        m_progress(0, range);
    }
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (cancel.load()) {
            result.cancelled = true;
            break;
        }
        DeleteEntry(entries[index], result);
        result.removedEntries.push_back(index);
        if (m_progress) {
            m_progress(static_cast<std::int64_t>(index) + 1, range);
        }
    }
    return result;
}

void RecordingDeleter::DeleteEntry(const CTimeList& entry, DeleteResult& result) const {
    for (const auto& file : RecordingFiles::OfEntry(entry)) {
        std::error_code error;
        if (m_remove(file, error)) {
            ++result.deletedFiles;
        } else if (error) {
            result.failed.push_back(file);
        }
    }
}

} // namespace tachy::viewer
