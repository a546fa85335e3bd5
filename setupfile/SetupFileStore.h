#pragma once
// Reads the settings file and writes it so that a pulled card never leaves a half-written file:
// every write goes to a temporary file beside the target, is flushed to the card, read back and
// compared, and only then renamed over the old file. A repair first keeps the invalid file as
// found in the work folder under a time-stamped name.

#include "setupfile/SetupFileSystemCalls.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace tachy::setupfile {

enum class SetupWriteResult {
    Written,
    NoFolder,    // the target's folder could not be created
    NoTemporary, // the temporary file could not be created
    WriteFailed,
    FlushFailed,
    ReadBackDiffers, // the bytes read back from the card are not the bytes written
    RenameFailed,
};

struct SetupRepairResult {
    std::optional<std::filesystem::path> keptCopy; // the invalid file as found, when kept
    std::optional<SetupWriteResult> written;       // unset: not written (no copy could be kept)
};

class SetupFileStore {
public:
    SetupFileStore() = default;
    // `calls` is borrowed and must outlive the store.
    explicit SetupFileStore(SetupFileSystemCalls& calls) : m_calls(&calls) {}

    // The file's first bytes, one more than a settings file holds so that a longer file shows
    // its wrong size; nothing when it cannot be opened as a regular file.
    static std::optional<std::vector<std::uint8_t>> Read(const std::filesystem::path& file);

    // Replaces (or creates, with its missing folders) the file. On any failure the old file is
    // as it was and no temporary is left behind.
    SetupWriteResult Write(const std::filesystem::path& file,
                           std::span<const std::uint8_t> bytes) const;

    // Copies the file as found into `workFolder` as "<name>_YYYYMMDD_HHMMSS<extension>" (UTC of
    // `now`, seconds since 1970; "_2", "_3", ... added when that name is taken).
    std::optional<std::filesystem::path> KeepCopy(const std::filesystem::path& file,
                                                  const std::filesystem::path& workFolder,
                                                  std::int64_t now) const;

    // KeepCopy, then Write; nothing is written when no copy could be kept.
    SetupRepairResult Repair(const std::filesystem::path& file,
                             const std::filesystem::path& workFolder,
                             std::span<const std::uint8_t> bytes, std::int64_t now) const;

private:
    bool WriteAll(int fd, std::span<const std::uint8_t> bytes) const;
    bool ReadsBackAs(const std::filesystem::path& temporary,
                     std::span<const std::uint8_t> bytes) const;
    SetupWriteResult WriteTemporary(const std::filesystem::path& file,
                                    std::span<const std::uint8_t> bytes,
                                    std::filesystem::path& temporary) const;

    SetupFileSystemCalls* m_calls = &SetupFileSystemCalls::Posix();
};

} // namespace tachy::setupfile
