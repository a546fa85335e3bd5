#include "util/avi/BoundedFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace util {

bool BoundedFile::open(const std::filesystem::path& path) {
    close();
    m_fd.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!m_fd.valid() || ::fstat(m_fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        close();
        return false;
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

void BoundedFile::close() {
    m_fd.reset();
    m_size = 0;
    m_windowStart = 0;
    m_windowLength = 0;
    m_fillSize = kSmallestWindow;
    m_lastEnd = 0;
}

bool BoundedFile::readAt(std::uint64_t offset, void* buffer, std::size_t length) const {
    if (!isOpen() || !contains(offset, length)) {
        return false;
    }
    if (length == 0) {
        return true;
    }
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    const bool inWindow = offset >= m_windowStart && offset - m_windowStart <= m_windowLength &&
                          length <= m_windowLength - (offset - m_windowStart);
    if (!inWindow) {
        if (length >= kLargestWindow / 2) {
            m_lastEnd = offset + length;
            return readFromDisk(offset, bytes, length);
        }
        if (!fillWindow(offset, length)) {
            return false;
        }
    }
    std::memcpy(bytes, m_window.data() + (offset - m_windowStart), length);
    m_lastEnd = offset + length;
    return true;
}

bool BoundedFile::fillWindow(std::uint64_t offset, std::size_t length) const {
    // Reads that keep moving forward grow the window, also when they skip bytes (the audio
    // chunks between frames, or the frames between audio chunks); a jump backwards or further
    // than the largest window starts it small again.
    const bool forward = offset >= m_lastEnd && offset - m_lastEnd <= kLargestWindow;
    m_fillSize = forward ? std::min(m_fillSize * 2, kLargestWindow) : kSmallestWindow;
    const auto fill = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max(m_fillSize, length), m_size - offset));
    if (m_window.size() < fill) {
        m_window.resize(std::max(fill, m_fillSize));
    }
    m_windowLength = 0;
    if (!readFromDisk(offset, m_window.data(), fill)) {
        return false;
    }
    m_windowStart = offset;
    m_windowLength = fill;
    return true;
}

bool BoundedFile::readFromDisk(std::uint64_t offset, std::uint8_t* bytes,
                               std::size_t length) const {
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
