#pragma once
// What sysfs says about one block device: its name, the disk it belongs to, its partition number
// and start, its size and whether the disk is removable. The sysfs root is injectable for tests.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tachy {

struct BlockDeviceInfo {
    std::string name;               // e.g. "sdb1"
    std::string diskName;           // e.g. "sdb"; the device's own name when it is a whole disk
    int partitionNumber = 0;        // 0 for a whole disk
    std::uint64_t startSectors = 0; // partition start, in 512-byte units as sysfs counts
    std::uint64_t sizeSectors = 0;  // in 512-byte units
    bool removable = false;         // the disk's removable flag
    bool hotPlug = false;           // the disk hangs off USB or an MMC/SD host
    bool isPartition() const { return partitionNumber > 0; }
};

// Looks the device with these numbers up under `sysfsRoot` (normally "/sys"): the link
// dev/block/MAJOR:MINOR leads to the device's folder, a partition's folder lies inside its
// disk's. Nothing when the link or the folder is missing.
std::optional<BlockDeviceInfo> readBlockDeviceInfo(const std::filesystem::path& sysfsRoot,
                                                   unsigned major, unsigned minor);

} // namespace tachy
