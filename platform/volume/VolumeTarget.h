#pragma once
// Finds what a volume name means: a mount point leads to the block device mounted there, a
// block device is itself, a regular file is a disk image. Also tells whether the device holds
// the running system, and unmounts it before it is written.

#include "platform/volume/BlockDeviceInfo.h"
#include "platform/volume/MountTable.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tachy {

// Where the kernel's tables are read from; tests point these at a tree of their own.
struct VolumeEnvironment {
    std::filesystem::path sysfsRoot = "/sys";
    std::filesystem::path mountInfo = "/proc/self/mountinfo";
    std::filesystem::path deviceRoot = "/dev";
};

struct VolumeTarget {
    std::filesystem::path path; // the device node or the image file
    bool imageFile = false;
    unsigned major = 0; // device numbers (block devices only)
    unsigned minor = 0;
    std::optional<BlockDeviceInfo> device; // what sysfs says (block devices only)
    std::vector<MountEntry> mounts;        // where this device is mounted now
    std::string systemMountPoint;          // a system folder mounted from the same disk, if any
    bool holdsSystem() const { return !systemMountPoint.empty(); }
};

// Resolves `volume` (a mount point, a block device or an image file). Nothing, with the reason
// in `error`, when it is none of these or lies on no block device (a network or virtual file
// system).
std::optional<VolumeTarget> resolveVolumeTarget(const std::string& volume,
                                                const VolumeEnvironment& environment,
                                                std::string* error);

// Unmounts every mount of the target; false, with the reason, when one stays mounted.
bool unmountVolumeTarget(const VolumeTarget& target, std::string* error);

} // namespace tachy
