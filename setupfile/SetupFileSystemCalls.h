#pragma once
// The file-system calls the settings-file writer makes, one virtual function each, so that a test
// can fail one of them midway through a write. The defaults are the POSIX calls.

#include <cstddef>
#include <sys/types.h>

namespace tachy::setupfile {

class SetupFileSystemCalls {
public:
    virtual ~SetupFileSystemCalls() = default;

    virtual ssize_t Write(int fd, const void* data, std::size_t size);
    virtual int Sync(int fd);
    virtual ssize_t Read(int fd, void* data, std::size_t size);
    virtual int Rename(const char* from, const char* to);

    // The process-wide POSIX calls.
    static SetupFileSystemCalls& Posix();
};

} // namespace tachy::setupfile
