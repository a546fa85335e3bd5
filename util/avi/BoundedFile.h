#pragma once
// Read-only access to one file in which every read is checked against the file's size before
// it is made: a read that would cross the end fails instead of returning short or stale data.
// Small reads are served from a read-ahead window, so that walking chunk headers and reading
// small frames in file order costs one system call per window rather than one per read.

#include "platform/fs/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

namespace util {

class BoundedFile {
public:
    // The window starts small, so that reading a few header bytes stays cheap, and doubles
    // while reads move forward through the file; reads of half the largest window or more
    // bypass it.
    static constexpr std::size_t kSmallestWindow = 4 << 10;
    static constexpr std::size_t kLargestWindow = 64 << 10;

    bool open(const std::filesystem::path& path);
    bool isOpen() const { return m_fd.valid(); }
    void close();
    std::uint64_t size() const { return m_size; }

    // True when [offset, offset + length) lies inside the file.
    bool contains(std::uint64_t offset, std::uint64_t length) const {
        return offset <= m_size && length <= m_size - offset;
    }
    // Reads exactly `length` bytes at `offset`, or nothing (false). Not for concurrent use: one
    // reader at a time, as the window is refilled by reads.
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) const;
    bool readLE32(std::uint64_t offset, std::uint32_t& value) const {
        return readAt(offset, &value, sizeof value);
    }

private:
    bool readFromDisk(std::uint64_t offset, std::uint8_t* bytes, std::size_t length) const;
    bool fillWindow(std::uint64_t offset, std::size_t length) const;

    tachy::fs::UniqueFd m_fd;
    std::uint64_t m_size = 0;
    // The read-ahead window: bytes [m_windowStart, m_windowStart + m_windowLength) of the file.
    // Filled by readAt, which is why these are mutable.
    mutable std::vector<std::uint8_t> m_window;
    mutable std::uint64_t m_windowStart = 0;
    mutable std::size_t m_windowLength = 0;
    mutable std::size_t m_fillSize = kSmallestWindow;
    mutable std::uint64_t m_lastEnd = 0;  // where the last read ended
};

} // namespace util
