#pragma once
// Read-only access to one file in which every read is checked against the file's size before
// it is made: a read that would cross the end fails instead of returning short or stale data.

#include "platform/fs/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace util {

class BoundedFile {
public:
    bool open(const std::filesystem::path& path);
    bool isOpen() const { return m_fd.valid(); }
    void close() { m_fd.reset(); }
    std::uint64_t size() const { return m_size; }

    // True when [offset, offset + length) lies inside the file.
    bool contains(std::uint64_t offset, std::uint64_t length) const {
        return offset <= m_size && length <= m_size - offset;
    }
    // Reads exactly `length` bytes at `offset`, or nothing (false).
    bool readAt(std::uint64_t offset, void* buffer, std::size_t length) const;
    bool readLE32(std::uint64_t offset, std::uint32_t& value) const {
        return readAt(offset, &value, sizeof value);
    }

private:
    tachy::fs::UniqueFd m_fd;
    std::uint64_t m_size = 0;
};

} // namespace util
