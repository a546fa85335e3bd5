#pragma once
// Copies recording files into a backup folder without ever leaving a damaged file under a
// recording's name: each file is written under a hidden temporary name, checked against its
// source (size and SHA-256) and only then renamed to its final name. A destination that already
// holds the same bytes counts as saved and is not written again; one that holds other bytes is
// kept, and the copy takes the first free name beside it ("name (2).avi"). Files that cannot be
// copied are named in the result.
//
// Runs on whichever thread calls Copy (the progress dialog's worker); it touches no widget. The
// progress callback is called on that thread. The cancel flag may be set from any thread and is
// read between files: the file being copied is finished first.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace tachy::fs {
class UniqueFd;
}

namespace tachy::viewer {

struct BackupFingerprint;

struct BackupResult {
    int copied = 0;                             // written under a final name by this run
    int alreadySaved = 0;                       // the folder held the same bytes already
    std::vector<std::filesystem::path> written; // the final names this run wrote
    std::vector<std::filesystem::path> failed;  // sources that could not be copied
    bool cancelled = false;                     // stopped before every file was tried

    int Saved() const { return copied + alreadySaved; }
    bool Complete() const { return !cancelled && failed.empty(); }
};

class BackupCopier {
public:
    // Ten steps per file: the range of a run over `fileCount` files.
    static constexpr std::int64_t kStepsPerFile = 10;
    using Progress = std::function<void(std::int64_t position, std::int64_t range)>;
    // Called with a temporary file once it is written and closed, before it is checked.
    using WrittenHook = std::function<void(const std::filesystem::path& temporary)>;

    explicit BackupCopier(std::filesystem::path target);

    void SetProgress(Progress progress) { m_progress = std::move(progress); }
    void SetWrittenHook(WrittenHook hook) { m_writtenHook = std::move(hook); }
    const std::filesystem::path& Target() const { return m_target; }

    BackupResult Copy(const std::vector<std::filesystem::path>& files,
                      const std::atomic<bool>& cancel);

    // "name.avi", then "name (2).avi", "name (3).avi" ... for n = 1, 2, 3 ...
    static std::filesystem::path CandidateName(const std::filesystem::path& fileName, int n);

private:
    enum class Outcome { Copied, AlreadySaved, Failed };
    struct Destination {
        Outcome outcome = Outcome::Failed;
        std::filesystem::path path; // the free name when the outcome is Copied
    };

    Outcome CopyOne(const std::filesystem::path& source, std::filesystem::path& written);
    Destination ChooseDestination(const std::filesystem::path& source, std::uint64_t size,
                                  std::optional<BackupFingerprint>& sourcePrint) const;
    bool WriteTemporary(int source, std::uint64_t size, tachy::fs::UniqueFd& temporary,
                        BackupFingerprint& written);
    Outcome Place(const std::filesystem::path& source, const std::filesystem::path& temporary,
                  const BackupFingerprint& sourcePrint, std::filesystem::path& written) const;
    std::filesystem::path CreateTemporary(const std::filesystem::path& source,
                                          tachy::fs::UniqueFd& file) const;
    void Report(std::int64_t position) const;

    std::filesystem::path m_target;
    Progress m_progress;
    WrittenHook m_writtenHook;
    std::int64_t m_base = 0;  // progress of the files before the current one
    std::int64_t m_range = 0; // progress range of the run
};

} // namespace tachy::viewer
