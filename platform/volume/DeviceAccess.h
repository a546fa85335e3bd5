#pragma once
// How block devices are opened and unmounted for writing. Without anything installed the
// process does it itself (open, umount2), which needs root for a card the user does not own.
// A desktop program installs a service at start-up (UDisks2) that asks the user for
// authorisation instead and hands back an open descriptor.

#include "platform/volume/VolumeTarget.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace tachy {

enum class PartitionTypeResult {
    Set,           // the master boot record now holds the type
    NotApplicable, // no record to change: an image, a whole disk, a GPT disk
    Failed,        // a record exists but could not be changed
};

class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // Opens the block device for reading, or exclusively for reading and writing; an owned
    // descriptor, or -1 with the reason in `error`.
    virtual int openDevice(const std::filesystem::path& device, bool forWriting,
                           std::string* error) const = 0;
    // Unmounts the file system on the device; false with the reason in `error`.
    virtual bool unmount(const std::filesystem::path& device, std::string* error) const = 0;
    // Sets the type byte of the partition `partition` in its disk's master boot record.
    virtual PartitionTypeResult setPartitionType(const std::filesystem::path& partition,
                                                 std::uint8_t type, std::string* error) const = 0;
};

// The access a program installs at start-up for the machine's devices; null removes it.
void installDeviceAccess(std::shared_ptr<const DeviceAccess> access);
std::shared_ptr<const DeviceAccess> installedDeviceAccess();

// The installed access when `environment` is the machine's own, else none.
std::shared_ptr<const DeviceAccess> deviceAccessFor(const VolumeEnvironment& environment);

// Unmounts every mount of `target` before it is written: through `access` when given, and
// directly (umount2) when there is none or it failed; false, with the reason, when one stays
// mounted.
bool unmountForWriting(const VolumeTarget& target, const DeviceAccess* access, std::string* error);

} // namespace tachy
