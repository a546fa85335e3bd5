#include "setupfile/SetupFileStore.h"

#include "platform/fs/FileIo.h"
#include "platform/fs/UniqueFd.h"
#include "setupfile/SetupFileLayout.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tachy::setupfile {
namespace {

std::string timeStamp(std::int64_t now) {
    const auto seconds = static_cast<std::time_t>(now);
    std::tm fields{};
    char text[32] = "00000000_000000";
    if (gmtime_r(&seconds, &fields) != nullptr) {
        std::strftime(text, sizeof text, "%Y%m%d_%H%M%S", &fields);
    }
    return text;
}

std::filesystem::path unusedName(const std::filesystem::path& folder, const std::string& stem,
                                 const std::string& extension) {
    std::filesystem::path candidate = folder / (stem + extension);
    for (int number = 2; std::filesystem::exists(candidate); ++number) {
        std::string name = stem;
        name.append("_").append(std::to_string(number)).append(extension);
        candidate = folder / name;
    }
    return candidate;
}

// Makes the rename itself durable; file systems that cannot sync a folder are left as they are.
void syncFolder(const std::filesystem::path& folder) {
    fs::UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.valid()) {
        ::fsync(fd.get());
    }
}

} // namespace

std::optional<std::vector<std::uint8_t>> SetupFileStore::Read(const std::filesystem::path& file) {
    fs::UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!fd.valid() || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(kSetupFileSize + 1);
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

bool SetupFileStore::WriteAll(int fd, std::span<const std::uint8_t> bytes) const {
    while (!bytes.empty()) {
        const ssize_t written = m_calls->Write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool SetupFileStore::ReadsBackAs(const std::filesystem::path& temporary,
                                 std::span<const std::uint8_t> bytes) const {
    fs::UniqueFd fd(::open(temporary.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    // The flushed pages are clean now: drop them so the read comes from the card.
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_DONTNEED);
    std::vector<std::uint8_t> readBack(bytes.size() + 1);
    std::size_t filled = 0;
    while (filled < readBack.size()) {
        const ssize_t got =
            m_calls->Read(fd.get(), readBack.data() + filled, readBack.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    return filled == bytes.size() && std::equal(bytes.begin(), bytes.end(), readBack.begin());
}

SetupWriteResult SetupFileStore::WriteTemporary(const std::filesystem::path& file,
                                                std::span<const std::uint8_t> bytes,
                                                std::filesystem::path& temporary) const {
    std::string name = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    fs::UniqueFd fd(::mkstemp(name.data()));
    if (!fd.valid()) {
        return SetupWriteResult::NoTemporary;
    }
    temporary = name;
    if (!WriteAll(fd.get(), bytes)) {
        return SetupWriteResult::WriteFailed;
    }
    if (m_calls->Sync(fd.get()) != 0) {
        return SetupWriteResult::FlushFailed;
    }
    if (::close(fd.release()) != 0) {
        return SetupWriteResult::FlushFailed;
    }
    return ReadsBackAs(temporary, bytes) ? SetupWriteResult::Written
                                         : SetupWriteResult::ReadBackDiffers;
}

SetupWriteResult SetupFileStore::Write(const std::filesystem::path& file,
                                       std::span<const std::uint8_t> bytes) const {
    const std::filesystem::path target =
        file.has_parent_path() ? file : std::filesystem::path(".") / file;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (!std::filesystem::is_directory(target.parent_path(), error)) {
        return SetupWriteResult::NoFolder;
    }
    std::filesystem::path temporary;
    SetupWriteResult result = WriteTemporary(target, bytes, temporary);
    if (result == SetupWriteResult::Written &&
        m_calls->Rename(temporary.c_str(), target.c_str()) != 0) {
        result = SetupWriteResult::RenameFailed;
    }
    if (result != SetupWriteResult::Written) {
        if (!temporary.empty()) {
            ::unlink(temporary.c_str());
        }
        return result;
    }
    syncFolder(target.parent_path());
    return result;
}

std::optional<std::filesystem::path>
SetupFileStore::KeepCopy(const std::filesystem::path& file, const std::filesystem::path& workFolder,
                         std::int64_t now) const {
    const std::optional<std::string> found = fs::readFile(file);
    if (!found) {
        return std::nullopt;
    }
    std::error_code error;
    std::filesystem::create_directories(workFolder, error);
    const std::filesystem::path copy = unusedName(
        workFolder, file.stem().string() + "_" + timeStamp(now), file.extension().string());
    const auto* data = reinterpret_cast<const std::uint8_t*>(found->data());
    if (Write(copy, std::span(data, found->size())) != SetupWriteResult::Written) {
        return std::nullopt;
    }
    return copy;
}

SetupRepairResult SetupFileStore::Repair(const std::filesystem::path& file,
                                         const std::filesystem::path& workFolder,
                                         std::span<const std::uint8_t> bytes,
                                         std::int64_t now) const {
    SetupRepairResult result;
    result.keptCopy = KeepCopy(file, workFolder, now);
    if (result.keptCopy) {
        result.written = Write(file, bytes);
    }
    return result;
}

} // namespace tachy::setupfile
