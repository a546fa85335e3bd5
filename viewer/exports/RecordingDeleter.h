#pragma once
// Deletes the recordings the user checked: every file of each entry (all camera channels).
// Counts the files actually deleted, names the ones that could not be deleted, and lists the
// entries to take out of the list: every entry it went through, whether or not its files could
// be deleted, so that the list never shows a recording the user chose to be rid of. A file
// that was already gone is neither counted nor reported.
//
// Runs on whichever thread calls Delete (the progress dialog's worker); it touches no widget.
// The progress callback is called on that thread, one step per entry. The cancel flag may be
// set from any thread and is read between entries.

#include "engine/CTimeList.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>
#include <vector>

namespace tachy::viewer {

struct DeleteResult {
    int deletedFiles = 0;
    std::vector<std::filesystem::path> failed; // files that could not be deleted
    std::vector<std::size_t> removedEntries;   // indexes into the entries given, in order
    bool cancelled = false;                    // stopped before every entry was done
};

class RecordingDeleter {
public:
    using Progress = std::function<void(std::int64_t position, std::int64_t range)>;
    // Removes one file: true when it was removed, false with `error` clear when it was not there.
    using RemoveFile = std::function<bool(const std::filesystem::path&, std::error_code& error)>;

    RecordingDeleter();

    void SetProgress(Progress progress) { m_progress = std::move(progress); }
    // Replaces the file removal (tests use it for files the system refuses to delete).
    void SetRemoveFile(RemoveFile remove) { m_remove = std::move(remove); }

    DeleteResult Delete(const std::vector<CTimeList>& entries,
                        const std::atomic<bool>& cancel) const;

private:
    void DeleteEntry(const CTimeList& entry, DeleteResult& result) const;

    Progress m_progress;
    RemoveFile m_remove;
};

} // namespace tachy::viewer
