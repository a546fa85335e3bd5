#include "platform/volume/VolumeTarget.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>

namespace tachy {
namespace {

// Folders whose file systems belong to the running system; a disk holding one is never
// formatted.
constexpr std::array<const char*, 7> kSystemFolders = {"/",    "/boot", "/boot/efi", "/usr",
                                                       "/var", "/home", "/efi"};

void setError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

bool isSystemFolder(const std::string& mountPoint) {
    for (const char* folder : kSystemFolders) {
        if (mountPoint == folder) {
            return true;
        }
    }
    return false;
}

// The device node for a mounted file system: its source when that node has the same numbers,
// else the kernel's dev/block/MAJOR:MINOR link.
std::filesystem::path deviceNodeOf(const MountEntry& mount, const VolumeEnvironment& environment) {
    struct stat status {};
    if (::stat(mount.source.c_str(), &status) == 0 && S_ISBLK(status.st_mode) &&
        ::major(status.st_rdev) == mount.major && ::minor(status.st_rdev) == mount.minor) {
        return mount.source;
    }
    return environment.deviceRoot / "block" /
           (std::to_string(mount.major) + ":" + std::to_string(mount.minor));
}

std::optional<VolumeTarget> fromMountPoint(const std::filesystem::path& folder,
                                           const std::vector<MountEntry>& table,
                                           const VolumeEnvironment& environment,
                                           std::string* error) {
    const MountEntry* found = nullptr;
    for (const MountEntry& mount : table) {
        if (mount.mountPoint == folder.string()) {
            found = &mount; // a later mount on the same folder hides the earlier one
        }
    }
    if (found == nullptr) {
        setError(error, "\"" + folder.string() + "\" is a folder, not a mounted volume");
        return std::nullopt;
    }
    VolumeTarget target;
    target.major = found->major;
    target.minor = found->minor;
    target.device = readBlockDeviceInfo(environment.sysfsRoot, found->major, found->minor);
    if (!target.device) {
        setError(error, "\"" + folder.string() + "\" (" + found->fileSystemType +
                            ") is not on a local block device");
        return std::nullopt;
    }
    target.path = deviceNodeOf(*found, environment);
    return target;
}

void findMountsAndSystemUse(VolumeTarget& target, const std::vector<MountEntry>& table,
                            const VolumeEnvironment& environment) {
    for (const MountEntry& mount : table) {
        if (mount.major == target.major && mount.minor == target.minor) {
            target.mounts.push_back(mount);
        }
        if (!isSystemFolder(mount.mountPoint) || !target.systemMountPoint.empty()) {
            continue;
        }
        const auto other = readBlockDeviceInfo(environment.sysfsRoot, mount.major, mount.minor);
        if (other && other->diskName == target.device->diskName) {
            target.systemMountPoint = mount.mountPoint;
        }
    }
}

} // namespace

std::optional<VolumeTarget> resolveVolumeTarget(const std::string& volume,
                                                const VolumeEnvironment& environment,
                                                std::string* error) {
    struct stat status {};
    if (volume.empty() || ::stat(volume.c_str(), &status) != 0) {
        setError(error, "\"" + volume + "\" does not exist: " + std::strerror(errno));
        return std::nullopt;
    }
    if (S_ISREG(status.st_mode)) {
        VolumeTarget target;
        target.path = volume;
        target.imageFile = true;
        return target;
    }
    const std::vector<MountEntry> table = readMountInfo(environment.mountInfo);
    std::optional<VolumeTarget> target;
    if (S_ISDIR(status.st_mode)) {
        std::error_code ignored;
        const std::filesystem::path folder = std::filesystem::weakly_canonical(volume, ignored);
        target = fromMountPoint(folder.empty() ? std::filesystem::path(volume) : folder, table,
                                environment, error);
    } else if (S_ISBLK(status.st_mode)) {
        target.emplace();
        target->path = volume;
        target->major = ::major(status.st_rdev);
        target->minor = ::minor(status.st_rdev);
        target->device = readBlockDeviceInfo(environment.sysfsRoot, target->major, target->minor);
        if (!target->device) {
            setError(error, "\"" + volume + "\" is not known to the kernel's device list");
            return std::nullopt;
        }
    } else {
        setError(error, "\"" + volume + "\" is neither a volume, a disk nor an image file");
        return std::nullopt;
    }
    if (target) {
        findMountsAndSystemUse(*target, table, environment);
    }
    return target;
}

bool unmountVolumeTarget(const VolumeTarget& target, std::string* error) {
    // The last mount first: mounts stacked on one another come off from the top.
    for (auto mount = target.mounts.rbegin(); mount != target.mounts.rend(); ++mount) {
        if (::umount2(mount->mountPoint.c_str(), 0) != 0 && errno != EINVAL) {
            setError(error, "\"" + target.path.string() + "\" is mounted at \"" +
                                mount->mountPoint +
                                "\" and could not be unmounted: " + std::strerror(errno));
            return false;
        }
    }
    return true;
}

} // namespace tachy
