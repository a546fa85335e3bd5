#include "platform/volume/RawVolume.h"

#include "platform/volume/PartitionTable.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tachy {
namespace {

// The geometry a disk without one of its own is given (what BIOSes report for large disks).
constexpr std::uint32_t kDefaultSectorsPerTrack = 63;
constexpr std::uint32_t kDefaultHeads = 255;

void setError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

std::string describe(const std::string& what, const VolumeTarget& target) {
    return what + " \"" + target.path.string() + "\": " + std::strerror(errno);
}

bool isSupportedSectorSize(std::uint32_t size) {
    return size >= 512 && size <= 32768 && (size & (size - 1)) == 0;
}

void fillCylinders(DriveGeometry& geometry, std::uint64_t length) {
    const std::uint64_t cylinderBytes = static_cast<std::uint64_t>(geometry.bytesPerSector) *
                                        geometry.sectorsPerTrack * geometry.tracksPerCylinder;
    geometry.cylinders = cylinderBytes == 0 ? 0 : length / cylinderBytes;
}

} // namespace

RawVolume::~RawVolume() = default;

std::unique_ptr<RawVolume> RawVolume::open(const std::string& volume,
                                           const RawVolumeOptions& options, std::string* error) {
    std::optional<VolumeTarget> target = resolveVolumeTarget(volume, options.environment, error);
    if (!target) {
        return nullptr;
    }
    std::unique_ptr<RawVolume> raw(new RawVolume());
    raw->m_target = std::move(*target);
    raw->m_environment = options.environment;
    const bool opened =
        raw->m_target.imageFile ? raw->openImage(options, error) : raw->openDevice(options, error);
    return opened ? std::move(raw) : nullptr;
}

bool RawVolume::openImage(const RawVolumeOptions& options, std::string* error) {
    if (!isSupportedSectorSize(options.imageSectorSize)) {
        setError(error, "unsupported sector size " + std::to_string(options.imageSectorSize));
        return false;
    }
    const int flags = (options.forWriting ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    m_fd.reset(::open(m_target.path.c_str(), flags));
    if (!m_fd.valid()) {
        setError(error, describe("cannot open", m_target));
        return false;
    }
    if (options.forWriting && ::flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0) {
        setError(error, describe("another program is using", m_target));
        return false;
    }
    struct stat status {};
    if (::fstat(m_fd.get(), &status) != 0) {
        setError(error, describe("cannot read the size of", m_target));
        return false;
    }
    m_partition.partitionLength = static_cast<std::uint64_t>(status.st_size);
    m_geometry = {options.imageSectorSize, kDefaultSectorsPerTrack, kDefaultHeads, 0};
    fillCylinders(m_geometry, m_partition.partitionLength);
    return true;
}

bool RawVolume::openDevice(const RawVolumeOptions& options, std::string* error) {
    if (options.forWriting) {
        if (m_target.holdsSystem()) {
            setError(error, "\"" + m_target.path.string() + "\" is on the disk that holds the " +
                                "running system (\"" + m_target.systemMountPoint +
                                "\"); it is never formatted");
            return false;
        }
    }
    m_access = options.deviceAccess ? options.deviceAccess : deviceAccessFor(options.environment);
    if (options.forWriting && !unmountForWriting(m_target, m_access.get(), error)) {
        return false;
    }
    if (!openDeviceFile(m_access.get(), options.forWriting, error)) {
        return false;
    }
    int sectorSize = 0;
    std::uint64_t length = 0;
    if (::ioctl(m_fd.get(), BLKSSZGET, &sectorSize) != 0 ||
        ::ioctl(m_fd.get(), BLKGETSIZE64, &length) != 0 ||
        !isSupportedSectorSize(static_cast<std::uint32_t>(sectorSize))) {
        setError(error, describe("cannot read the sector size and length of", m_target));
        return false;
    }
    m_geometry.bytesPerSector = static_cast<std::uint32_t>(sectorSize);
    hd_geometry legacy{};
    const bool hasGeometry =
        ::ioctl(m_fd.get(), HDIO_GETGEO, &legacy) == 0 && legacy.sectors != 0 && legacy.heads != 0;
    m_geometry.sectorsPerTrack = hasGeometry ? legacy.sectors : kDefaultSectorsPerTrack;
    m_geometry.tracksPerCylinder = hasGeometry ? legacy.heads : kDefaultHeads;
    fillCylinders(m_geometry, length);

    m_partition.partitionLength = length;
    m_partition.partitionNumber = m_target.device->partitionNumber;
    m_partition.startingOffset = m_target.device->startSectors * 512;
    const std::uint64_t hidden = m_partition.startingOffset / m_geometry.bytesPerSector;
    if (hidden > 0xFFFFFFFFu) {
        setError(error, "\"" + m_target.path.string() + "\" starts beyond 2^32 sectors");
        return false;
    }
    m_partition.hiddenSectors = static_cast<std::uint32_t>(hidden);
    readPartitionType();
    return true;
}

// Through the installed access first (it may ask the user for authorisation), then directly;
// when both fail the access's reason is the one reported.
bool RawVolume::openDeviceFile(const DeviceAccess* access, bool forWriting, std::string* error) {
    std::string accessError;
    if (access != nullptr) {
        m_fd.reset(access->openDevice(m_target.path, forWriting, &accessError));
        if (m_fd.valid()) {
            return true;
        }
    }
    const int flags = forWriting ? O_RDWR | O_EXCL | O_CLOEXEC : O_RDONLY | O_CLOEXEC;
    m_fd.reset(::open(m_target.path.c_str(), flags));
    if (!m_fd.valid()) {
        setError(error, access != nullptr
                            ? accessError
                            : describe(errno == EBUSY ? "another program is using" : "cannot open",
                                       m_target));
        return false;
    }
    return true;
}

void RawVolume::readPartitionType() {
    if (!m_target.device || !m_target.device->isPartition()) {
        return;
    }
    const fs::UniqueFd disk(::open((m_environment.deviceRoot / m_target.device->diskName).c_str(),
                                   O_RDONLY | O_CLOEXEC));
    std::string sector(kMbrSize, '\0');
    if (!disk.valid() || ::pread(disk.get(), sector.data(), sector.size(), 0) !=
                             static_cast<ssize_t>(sector.size())) {
        return;
    }
    const MbrPartitionEntry entry = readMbrPartition(sector, m_partition.partitionNumber);
    if (entry.lookup == MbrLookup::Found) {
        m_partition.partitionType = entry.type;
    }
}

bool RawVolume::read(std::uint64_t offset, void* data, std::size_t size) const {
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::pread(m_fd.get(), bytes, size, static_cast<off_t>(offset));
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += got;
        offset += static_cast<std::uint64_t>(got);
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool RawVolume::write(std::uint64_t offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::pwrite(m_fd.get(), bytes, size, static_cast<off_t>(offset));
        if (put <= 0) {
            if (put < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += put;
        offset += static_cast<std::uint64_t>(put);
        size -= static_cast<std::size_t>(put);
        m_bytesWritten += static_cast<std::uint64_t>(put);
    }
    return true;
}

bool RawVolume::flush() {
    return ::fsync(m_fd.get()) == 0;
}

PartitionTypeResult RawVolume::setPartitionType(std::uint8_t type) {
    if (!m_target.device || !m_target.device->isPartition()) {
        return PartitionTypeResult::NotApplicable;
    }
    bool diskOpened = false;
    const PartitionTypeResult result = setPartitionTypeDirectly(type, &diskOpened);
    if (diskOpened || !m_access) {
        return result;
    }
    std::string ignored;
    const PartitionTypeResult viaAccess = m_access->setPartitionType(m_target.path, type, &ignored);
    if (viaAccess == PartitionTypeResult::Set) {
        m_partition.partitionType = type;
    }
    return viaAccess;
}

PartitionTypeResult RawVolume::setPartitionTypeDirectly(std::uint8_t type, bool* diskOpened) {
    // The whole disk is opened without O_EXCL: this object already holds its partition.
    const fs::UniqueFd disk(
        ::open((m_environment.deviceRoot / m_target.device->diskName).c_str(), O_RDWR | O_CLOEXEC));
    *diskOpened = disk.valid();
    std::string sector(kMbrSize, '\0');
    if (!disk.valid() || ::pread(disk.get(), sector.data(), sector.size(), 0) !=
                             static_cast<ssize_t>(sector.size())) {
        return PartitionTypeResult::Failed;
    }
    const MbrPartitionEntry entry = readMbrPartition(sector, m_partition.partitionNumber);
    if (entry.lookup == MbrLookup::NotMbr) {
        return PartitionTypeResult::NotApplicable;
    }
    if (!setMbrPartitionType(sector, m_partition.partitionNumber, type) ||
        ::pwrite(disk.get(), sector.data(), sector.size(), 0) !=
            static_cast<ssize_t>(sector.size()) ||
        ::fsync(disk.get()) != 0) {
        return PartitionTypeResult::Failed;
    }
    m_partition.partitionType = type;
    return PartitionTypeResult::Set;
}

} // namespace tachy
