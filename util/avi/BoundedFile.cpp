#include "util/avi/BoundedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace util {

bool BoundedFile::open(const std::filesystem::path& path) {
    m_fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!m_fd.valid() || ::fstat(m_fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        m_fd.reset();
        m_size = 0;
        return false;
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool BoundedFile::readAt(std::uint64_t offset, void* buffer, std::size_t length) const {
    if (!isOpen() || !contains(offset, length)) {
        return false;
    }
    auto* bytes = static_cast<char*>(buffer);
    while (length > 0) {
        const ssize_t got = ::pread(m_fd.get(), bytes, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;  // the file shrank under us
        }
        bytes += got;
        offset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace util
