// tachy_faultfs: a pass-through FUSE file system over a folder that fails chosen operations
// with EIO, for the damaged-card tests (reads that fail on a card that goes bad, or every
// operation once it is pulled out). Writes go through to the folder, so that a test that
// hashes the folder sees any write a program makes through the mount.
//   tachy_faultfs SOURCE MOUNTPOINT CONTROL-FILE
// Runs in the foreground until the mount is taken down (fusermount3 -u MOUNTPOINT).

#define FUSE_USE_VERSION 31

#include "tests/robust/FaultRules.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

struct Mount {
    std::string source;
    std::unique_ptr<FaultRules> rules;
};

Mount& mount() {
    static Mount instance;
    return instance;
}

std::string real(const char* path) {
    return mount().source + path;
}

bool fails(const char* path) {
    return mount().rules->FailsAll(path);
}

int result(int value) {
    return value < 0 ? -errno : value;
}

void* initFs(fuse_conn_info* /*connection*/, fuse_config* config) {
    // No caching of names, attributes or contents: a rule takes effect at the next call.
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    config->direct_io = 1;
    config->kernel_cache = 0;
    return nullptr;
}

int getAttributes(const char* path, struct stat* status, fuse_file_info* /*file*/) {
    return fails(path) ? -EIO : result(::lstat(real(path).c_str(), status));
}

int readDirectory(const char* path, void* buffer, fuse_fill_dir_t fill, off_t /*offset*/,
                  fuse_file_info* /*file*/, fuse_readdir_flags /*flags*/) {
    if (mount().rules->FailsListing()) {
        return -EIO;
    }
    DIR* directory = ::opendir(real(path).c_str());
    if (directory == nullptr) {
        return -errno;
    }
    while (const dirent* entry = ::readdir(directory)) {
        struct stat status {};
        status.st_ino = entry->d_ino;
        status.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &status, 0, static_cast<fuse_fill_dir_flags>(0)) != 0) {
            break;
        }
    }
    ::closedir(directory);
    return 0;
}

int openFile(const char* path, fuse_file_info* file) {
    if (fails(path)) {
        return -EIO;
    }
    const int descriptor = ::open(real(path).c_str(), file->flags);
    if (descriptor < 0) {
        return -errno;
    }
    file->fh = static_cast<std::uint64_t>(descriptor);
    file->direct_io = 1;
    return 0;
}

int createFile(const char* path, mode_t mode, fuse_file_info* file) {
    if (fails(path)) {
        return -EIO;
    }
    const int descriptor = ::open(real(path).c_str(), file->flags | O_CREAT, mode);
    if (descriptor < 0) {
        return -errno;
    }
    file->fh = static_cast<std::uint64_t>(descriptor);
    file->direct_io = 1;
    return 0;
}

int readFile(const char* path, char* buffer, size_t size, off_t offset, fuse_file_info* file) {
    if (mount().rules->FailsRead(path)) {
        return -EIO;
    }
    return result(static_cast<int>(::pread(static_cast<int>(file->fh), buffer, size, offset)));
}

int writeFile(const char* path, const char* buffer, size_t size, off_t offset,
              fuse_file_info* file) {
    if (fails(path)) {
        return -EIO;
    }
    return result(static_cast<int>(::pwrite(static_cast<int>(file->fh), buffer, size, offset)));
}

int releaseFile(const char* /*path*/, fuse_file_info* file) {
    ::close(static_cast<int>(file->fh));
    return 0;
}

int syncFile(const char* path, int /*dataOnly*/, fuse_file_info* file) {
    return fails(path) ? -EIO : result(::fsync(static_cast<int>(file->fh)));
}

int unlinkFile(const char* path) {
    return fails(path) ? -EIO : result(::unlink(real(path).c_str()));
}

int makeDirectory(const char* path, mode_t mode) {
    return fails(path) ? -EIO : result(::mkdir(real(path).c_str(), mode));
}

int removeDirectory(const char* path) {
    return fails(path) ? -EIO : result(::rmdir(real(path).c_str()));
}

int renameFile(const char* from, const char* to, unsigned int flags) {
    if (flags != 0) {
        return -EINVAL;
    }
    return fails(from) || fails(to) ? -EIO : result(::rename(real(from).c_str(), real(to).c_str()));
}

int truncateFile(const char* path, off_t size, fuse_file_info* /*file*/) {
    return fails(path) ? -EIO : result(::truncate(real(path).c_str(), size));
}

int setTimes(const char* path, const struct timespec times[2], fuse_file_info* /*file*/) {
    return fails(path)
               ? -EIO
               : result(::utimensat(AT_FDCWD, real(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int changeMode(const char* path, mode_t mode, fuse_file_info* /*file*/) {
    return fails(path) ? -EIO : result(::chmod(real(path).c_str(), mode));
}

int fileSystemStatus(const char* path, struct statvfs* status) {
    return fails(path) ? -EIO : result(::statvfs(real(path).c_str(), status));
}

fuse_operations operations() {
    fuse_operations table{};
    table.init = initFs;
    table.getattr = getAttributes;
    table.readdir = readDirectory;
    table.open = openFile;
    table.create = createFile;
    table.read = readFile;
    table.write = writeFile;
    table.release = releaseFile;
    table.fsync = syncFile;
    table.unlink = unlinkFile;
    table.mkdir = makeDirectory;
    table.rmdir = removeDirectory;
    table.rename = renameFile;
    table.truncate = truncateFile;
    table.utimens = setTimes;
    table.chmod = changeMode;
    table.statfs = fileSystemStatus;
    return table;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tachy_faultfs SOURCE MOUNTPOINT CONTROL-FILE\n");
        return 2;
    }
    char resolved[PATH_MAX] = {};
    if (::realpath(argv[1], resolved) == nullptr) {
        std::fprintf(stderr, "tachy_faultfs: %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    mount().source = resolved;
    mount().rules = std::make_unique<FaultRules>(argv[3]);
    // Foreground, one thread (the rules are simple and the tests small), the mount's name.
    char name[] = "tachy_faultfs";
    char foreground[] = "-f";
    char single[] = "-s";
    char options[] = "-o";
    char fsName[] = "fsname=tachy_faultfs";
    char* arguments[] = {name, foreground, single, options, fsName, argv[2], nullptr};
    const fuse_operations table = operations();
    return fuse_main(6, arguments, &table, nullptr);
}
