#include "util/CUtilFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CUtilFile::CUtilFile() = default;
CUtilFile::~CUtilFile() = default;

int CUtilFile::Create(const std::string& path) {
    m_file.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    return isOpen() ? 1 : 0;
}

int CUtilFile::Open(const std::string& path, int writable) {
    m_file.reset(::open(path.c_str(), (writable != 0 ? O_RDWR : O_RDONLY) | O_CLOEXEC));
    if (!isOpen()) {
        return 0;
    }
    struct stat status {};
    if (::fstat(m_file.get(), &status) != 0 || S_ISDIR(status.st_mode)) {
        m_file.reset();
        return 0;
    }
    return 1;
}

int CUtilFile::Read(void* buffer, std::uint32_t size) {
    if (!isOpen()) {
        return 0;
    }
    auto* bytes = static_cast<char*>(buffer);
    std::uint32_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(m_file.get(), bytes + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return 0;
        }
        done += static_cast<std::uint32_t>(got);
    }
    return 1;
}

int CUtilFile::Write(const void* buffer, std::uint32_t size) {
    if (!isOpen()) {
        return 0;
    }
    const auto* bytes = static_cast<const char*>(buffer);
    std::uint32_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(m_file.get(), bytes + done, size - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return 0;
        }
        done += static_cast<std::uint32_t>(written);
    }
    return 1;
}

std::int64_t CUtilFile::Seek(std::int64_t offset, int method) {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!isOpen() || method < kBegin || method > kEnd) {
        return -1;
    }
    return ::lseek(m_file.get(), offset, kWhence[method]);
}

int CUtilFile::Flush() {
    return isOpen() && ::fsync(m_file.get()) == 0 ? 1 : 0;
}

std::uint32_t CUtilFile::GetLength() const {
    struct stat status {};
    if (!isOpen() || ::fstat(m_file.get(), &status) != 0) {
        return 0;
    }
    return static_cast<std::uint32_t>(status.st_size);
}

int CUtilFile::SetLength(std::uint32_t length) {
    return SetLength(static_cast<std::int64_t>(length));
}

int CUtilFile::SetLength(std::int64_t length) {
    if (!isOpen() || length < 0 || ::lseek(m_file.get(), length, SEEK_SET) < 0) {
        return 0;
    }
    return ::ftruncate(m_file.get(), length) == 0 ? 1 : 0;
}

void CUtilFile::Close() {
    m_file.reset();
}
