#pragma once
// A thin wrapper over one file handle, closed when the object goes away.

#include "platform/fs/UniqueFd.h"

#include <cstdint>
#include <string>

class CUtilFile {
public:
    // Seek origins.
    static constexpr int kBegin = 0;
    static constexpr int kCurrent = 1;
    static constexpr int kEnd = 2;

    CUtilFile();
    ~CUtilFile();
    CUtilFile(const CUtilFile&) = delete;
    CUtilFile& operator=(const CUtilFile&) = delete;

    // Creates or truncates the file, open for reading and writing. 1 on success.
    int Create(const std::string& path);
    // Opens an existing file, read-only unless `writable` is non-zero. 1 on success.
    int Open(const std::string& path, int writable);

    // 1 only when the whole size was transferred.
    int Read(void* buffer, std::uint32_t size);
    int Write(const void* buffer, std::uint32_t size);

    // Moves the file position; the new position, or -1 on failure.
    std::int64_t Seek(std::int64_t offset, int method);
    int Flush();
    // The length's low 32 bits (files on the recorder's FAT32 card never exceed them).
    std::uint32_t GetLength() const;
    // Sets the end of the file at `length` and leaves the position there.
    int SetLength(std::uint32_t length);
    int SetLength(std::int64_t length);

    bool isOpen() const { return m_file.valid(); }
    void Close();

private:
    tachy::fs::UniqueFd m_file;
};
