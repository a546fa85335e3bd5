#include "setupfile/SetupFileSystemCalls.h"

#include <cstdio>
#include <unistd.h>

namespace tachy::setupfile {

ssize_t SetupFileSystemCalls::Write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int SetupFileSystemCalls::Sync(int fd) {
    return ::fsync(fd);
}

ssize_t SetupFileSystemCalls::Read(int fd, void* data, std::size_t size) {
    return ::read(fd, data, size);
}

int SetupFileSystemCalls::Rename(const char* from, const char* to) {
    return std::rename(from, to);
}

SetupFileSystemCalls& SetupFileSystemCalls::Posix() {
    static SetupFileSystemCalls calls;
    return calls;
}

} // namespace tachy::setupfile
