#pragma once
// Raw sector access to a volume (a block device, or a regular file holding a disk image) with
// what a formatter needs to know about it: sector size, size, geometry, hidden sectors and the
// partition type. Opened for writing, the volume is first unmounted, the running system's disk is
// refused, and the open itself is the lock (O_EXCL on a device, an exclusive flock on an image)
// until the object goes away.

#include "platform/fs/UniqueFd.h"
#include "platform/volume/DeviceAccess.h"
#include "platform/volume/VolumeTarget.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tachy {

struct RawVolumeOptions {
    VolumeEnvironment environment;
    std::uint32_t imageSectorSize = 512; // the sector size an image file is taken to have
    bool forWriting = true;              // false: read-only, neither unmounted nor locked
    // Opens and unmounts block devices; null: the one installed for the machine (UDisks2 on a
    // desktop) when the environment is the machine's, else the process itself.
    std::shared_ptr<const DeviceAccess> deviceAccess;
};

struct DriveGeometry {
    std::uint32_t bytesPerSector = 0;
    std::uint32_t sectorsPerTrack = 0;
    std::uint32_t tracksPerCylinder = 0; // heads
    std::uint64_t cylinders = 0;
};

struct PartitionInformation {
    std::uint64_t startingOffset = 0;  // bytes from the disk's start
    std::uint64_t partitionLength = 0; // bytes
    std::uint32_t hiddenSectors = 0;   // sectors before the partition
    int partitionNumber = 0;           // 0: a whole disk or an image file
    std::uint8_t partitionType = 0;    // from the disk's master boot record; 0 when none
};

class RawVolume {
public:
    ~RawVolume();
    RawVolume(const RawVolume&) = delete;
    RawVolume& operator=(const RawVolume&) = delete;

    // Opens `volume` (a mount point, a block device or an image file). Nothing, with a message
    // that says why in `error`, when it cannot be used.
    static std::unique_ptr<RawVolume> open(const std::string& volume,
                                           const RawVolumeOptions& options, std::string* error);

    const DriveGeometry& geometry() const { return m_geometry; }
    const PartitionInformation& partition() const { return m_partition; }
    const VolumeTarget& target() const { return m_target; }
    bool isImageFile() const { return m_target.imageFile; }

    // Whole transfers at a byte offset; false on any short or failed transfer.
    bool read(std::uint64_t offset, void* data, std::size_t size) const;
    bool write(std::uint64_t offset, const void* data, std::size_t size);
    // Flushes written data to the medium.
    bool flush();
    // Total bytes written through this object.
    std::uint64_t bytesWritten() const { return m_bytesWritten; }

    // Sets the partition's type byte in the disk's master boot record: directly, or through
    // the device access when the disk cannot be opened for writing (a user without root).
    PartitionTypeResult setPartitionType(std::uint8_t type);

private:
    RawVolume() = default;
    bool openImage(const RawVolumeOptions& options, std::string* error);
    bool openDevice(const RawVolumeOptions& options, std::string* error);
    bool openDeviceFile(const DeviceAccess* access, bool forWriting, std::string* error);
    void readPartitionType();
    PartitionTypeResult setPartitionTypeDirectly(std::uint8_t type, bool* diskOpened);

    VolumeTarget m_target;
    VolumeEnvironment m_environment;
    std::shared_ptr<const DeviceAccess> m_access;
    fs::UniqueFd m_fd;
    DriveGeometry m_geometry;
    PartitionInformation m_partition;
    std::uint64_t m_bytesWritten = 0;
};

} // namespace tachy
