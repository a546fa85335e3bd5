#include "viewer/exports/BackupCopier.h"

#include "platform/fs/UniqueFd.h"
#include "viewer/exports/BackupDigest.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tachy::viewer {
namespace {

constexpr int kMaxCandidates = 1000; // "name (1000).avi" at most
constexpr int kMaxTemporaries = 100; // hidden names tried for the copy in progress
constexpr int kMaxPlacements = 4;    // new names tried when the chosen one is taken meanwhile
constexpr std::size_t kChunk = 1 << 20;

bool writeAll(int fd, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

// Renames without replacing a file that appeared under the final name; 0 or the errno.
int renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // The file system cannot refuse to replace: look first, then rename.
    std::error_code error;
    if (std::filesystem::exists(to, error) || error) {
        return EEXIST;
    }
    std::filesystem::rename(from, to, error);
    return error ? error.value() : 0;
}

// Makes the rename itself durable; a folder that cannot be synced only loses that guarantee.
void syncFolder(const std::filesystem::path& folder) {
    const tachy::fs::UniqueFd handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.valid()) {
        ::fsync(handle.get());
    }
}

} // namespace

BackupCopier::BackupCopier(std::filesystem::path target) : m_target(std::move(target)) {}

std::filesystem::path BackupCopier::CandidateName(const std::filesystem::path& fileName, int n) {
    if (n <= 1) {
        return fileName;
    }
    return fileName.stem().string() + " (" + std::to_string(n) + ")" +
           fileName.extension().string();
}

BackupResult BackupCopier::Copy(const std::vector<std::filesystem::path>& files,
                                const std::atomic<bool>& cancel) {
    BackupResult result;
    m_base = 0;
    m_range = static_cast<std::int64_t>(files.size()) * kStepsPerFile;
    Report(0);
    std::error_code ignored; // a folder that cannot be made fails every file below
    std::filesystem::create_directories(m_target, ignored);
    for (const auto& file : files) {
        if (cancel.load()) {
            result.cancelled = true;
            break;
        }
        std::filesystem::path written;
        switch (CopyOne(file, written)) {
        case Outcome::Copied:
            ++result.copied;
            result.written.push_back(written);
            break;
        case Outcome::AlreadySaved:
            ++result.alreadySaved;
            break;
        case Outcome::Failed:
            result.failed.push_back(file);
            break;
        }
        m_base += kStepsPerFile;
        Report(m_base);
    }
    return result;
}

BackupCopier::Outcome BackupCopier::CopyOne(const std::filesystem::path& source,
                                            std::filesystem::path& written) {
    const tachy::fs::UniqueFd input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!input.valid() || ::fstat(input.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return Outcome::Failed;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    std::optional<BackupFingerprint> sourcePrint;
    const Destination destination = ChooseDestination(source, size, sourcePrint);
    if (destination.outcome != Outcome::Copied) {
        return destination.outcome;
    }
    tachy::fs::UniqueFd output;
    const std::filesystem::path temporary = CreateTemporary(source, output);
    if (temporary.empty()) {
        return Outcome::Failed;
    }
    BackupFingerprint copied;
    bool good = WriteTemporary(input.get(), size, output, copied);
    if (good && m_writtenHook) {
        m_writtenHook(temporary);
    }
    if (good) {
        const auto check = BackupDigest::OfFile(temporary);
        good = check && *check == copied && (!sourcePrint || *sourcePrint == copied);
    }
    Outcome outcome = Outcome::Failed;
    if (good) {
        written = destination.path;
        outcome = Place(source, temporary, copied, written);
    }
    if (outcome != Outcome::Copied) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return outcome;
}

BackupCopier::Destination
BackupCopier::ChooseDestination(const std::filesystem::path& source, std::uint64_t size,
                                std::optional<BackupFingerprint>& sourcePrint) const {
    for (int n = 1; n <= kMaxCandidates; ++n) {
        const std::filesystem::path candidate = m_target / CandidateName(source.filename(), n);
        std::error_code error;
        const auto status = std::filesystem::symlink_status(candidate, error);
        if (status.type() == std::filesystem::file_type::not_found) {
            return {Outcome::Copied, candidate};
        }
        if (status.type() == std::filesystem::file_type::none) {
            return {}; // the folder cannot be looked into
        }
        if (status.type() != std::filesystem::file_type::regular ||
            std::filesystem::file_size(candidate, error) != size || error) {
            continue;
        }
        if (!sourcePrint) {
            sourcePrint = BackupDigest::OfFile(source);
            if (!sourcePrint) {
                return {};
            }
        }
        if (BackupDigest::OfFile(candidate) == sourcePrint) {
            return {Outcome::AlreadySaved, candidate};
        }
    }
    return {};
}

bool BackupCopier::WriteTemporary(int source, std::uint64_t size, tachy::fs::UniqueFd& temporary,
                                  BackupFingerprint& written) {
    BackupDigest digest;
    std::vector<char> buffer(kChunk);
    std::uint64_t transferred = 0;
    for (;;) {
        const ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        const auto length = static_cast<std::size_t>(got);
        if (!writeAll(temporary.get(), buffer.data(), length)) {
            return false;
        }
        digest.Add(std::string_view(buffer.data(), length));
        transferred += length;
        if (size > 0) {
            const auto done = static_cast<std::int64_t>(std::min(transferred, size));
            Report(m_base + done * kStepsPerFile / static_cast<std::int64_t>(size));
        }
    }
    if (::fsync(temporary.get()) != 0 || ::close(temporary.release()) != 0) {
        return false;
    }
    written = digest.Finish();
    return written.size == size;
}

BackupCopier::Outcome BackupCopier::Place(const std::filesystem::path& source,
                                          const std::filesystem::path& temporary,
                                          const BackupFingerprint& sourcePrint,
                                          std::filesystem::path& written) const {
    std::optional<BackupFingerprint> print = sourcePrint;
    for (int attempt = 0; attempt < kMaxPlacements; ++attempt) {
        if (attempt > 0) {
            // Someone wrote under the chosen name meanwhile: look again.
            const Destination again = ChooseDestination(source, sourcePrint.size, print);
            if (again.outcome != Outcome::Copied) {
                return again.outcome;
            }
            written = again.path;
        }
        const int error = renameWithoutReplacing(temporary, written);
        if (error == 0) {
            syncFolder(m_target);
            return Outcome::Copied;
        }
        if (error != EEXIST) {
            return Outcome::Failed;
        }
    }
    return Outcome::Failed;
}

std::filesystem::path BackupCopier::CreateTemporary(const std::filesystem::path& source,
                                                    tachy::fs::UniqueFd& file) const {
    const std::string name = "." + source.filename().string();
    for (int n = 1; n <= kMaxTemporaries; ++n) {
        const std::string suffix = n == 1 ? ".part" : "." + std::to_string(n) + ".part";
        std::filesystem::path path = m_target / (name + suffix);
        file.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (file.valid()) {
            return path;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

void BackupCopier::Report(std::int64_t position) const {
    if (m_progress) {
        m_progress(position, m_range);
    }
}

} // namespace tachy::viewer
