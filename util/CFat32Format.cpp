#include "util/CFat32Format.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr std::uint64_t kMinimumSectors = 65536;
constexpr std::uint64_t kMinimumClusters = 65536;      // above 65,535
constexpr std::uint64_t kMaximumClusters = 0x0FFFFFF5; // cluster numbers stay below 0x0FFFFFF7
constexpr std::uint64_t kZeroBurstSectors = 128;
constexpr std::uint8_t kFat32LbaPartitionType = 0x0C;
constexpr std::uint32_t kFourClusterRootSectors = 64;

std::tm localNow(int* milliseconds) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    *milliseconds = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

bool isValidClusterSize(std::uint32_t sectorsPerCluster) {
    return sectorsPerCluster >= 1 && sectorsPerCluster <= 128 &&
           (sectorsPerCluster & (sectorsPerCluster - 1)) == 0;
}

std::uint16_t dosDate(const std::tm& local) {
    return static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                      local.tm_mday);
}

std::uint16_t dosTime(const std::tm& local) {
    return static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                      (local.tm_sec / 2));
}

} // namespace

CFat32Format::CFat32Format() = default;
CFat32Format::~CFat32Format() = default;

void CFat32Format::SetVolumeOptions(const tachy::RawVolumeOptions& options) {
    m_options = options;
    m_options.forWriting = true;
}

void CFat32Format::SetVolumeLabel(const std::string& label) {
    m_label = label;
}

int CFat32Format::Format(int sectorsPerCluster, const std::string& volume) {
    if (sectorsPerCluster < 0 || sectorsPerCluster > 255) {
        fail("sectors per cluster must be 0 (automatic) or a power of two up to 128");
        return 0;
    }
    format_params params;
    params.sectors_per_cluster = static_cast<std::uint32_t>(sectorsPerCluster);
    return format_volume(volume, params, sectorsPerCluster == kFourClusterRootSectors) == 0 ? 1 : 0;
}

bool CFat32Format::fail(const std::string& reason) {
    m_lastError = reason;
    return false;
}

std::uint32_t CFat32Format::get_volume_id() {
    int milliseconds = 0;
    const std::tm local = localNow(&milliseconds);
    return get_volume_id(local, milliseconds);
}

std::uint32_t CFat32Format::get_volume_id(const std::tm& localTime, int milliseconds) {
    const auto low = static_cast<std::uint16_t>(localTime.tm_mday + ((localTime.tm_mon + 1) << 8) +
                                                (milliseconds / 10) + (localTime.tm_sec << 8));
    const auto high = static_cast<std::uint16_t>(localTime.tm_min + (localTime.tm_hour << 8) +
                                                 (localTime.tm_year + 1900));
    return (static_cast<std::uint32_t>(high) << 16) | low;
}

std::uint32_t CFat32Format::get_sectors_per_cluster(std::uint64_t partitionBytes,
                                                    std::uint32_t bytesPerSector) {
    const std::uint64_t megabytes = partitionBytes / 1048576;
    std::uint32_t clusterBytes = 512;
    if (megabytes > 32768) {
        clusterBytes = 32768;
    } else if (megabytes > 16384) {
        clusterBytes = 16384;
    } else if (megabytes > 8192) {
        clusterBytes = 8192;
    } else if (megabytes > 512) {
        clusterBytes = 4096;
    }
    // A sector larger than the chosen cluster still makes a cluster of one sector.
    return std::max<std::uint32_t>(1, clusterBytes / bytesPerSector);
}

std::uint32_t CFat32Format::get_fat_size_sectors(std::uint64_t totalSectors, std::uint32_t reserved,
                                                 std::uint32_t sectorsPerCluster,
                                                 std::uint32_t numberOfFats,
                                                 std::uint32_t bytesPerSector) {
    const std::uint64_t numerator = 4 * (totalSectors - reserved);
    const std::uint64_t denominator =
        std::uint64_t{sectorsPerCluster} * bytesPerSector + 4 * std::uint64_t{numberOfFats};
    return static_cast<std::uint32_t>(numerator / denominator + 1);
}

std::uint64_t CFat32Format::seek_to_sect(std::uint64_t sector, std::uint32_t bytesPerSector) {
    return sector * bytesPerSector;
}

bool CFat32Format::write_sect(tachy::RawVolume& volume, std::uint64_t sector,
                              const std::string& bytes) {
    const std::uint32_t size = volume.geometry().bytesPerSector;
    return bytes.size() == size &&
           volume.write(seek_to_sect(sector, size), bytes.data(), bytes.size());
}

bool CFat32Format::zero_sectors(tachy::RawVolume& volume, std::uint64_t firstSector,
                                std::uint64_t count, std::uint32_t bytesPerSector) {
    const std::vector<char> zeros(kZeroBurstSectors * bytesPerSector, '\0');
    while (count > 0) {
        const std::uint64_t burst = std::min(count, kZeroBurstSectors);
        if (!volume.write(seek_to_sect(firstSector, bytesPerSector), zeros.data(),
                          burst * bytesPerSector)) {
            return false;
        }
        firstSector += burst;
        count -= burst;
    }
    return true;
}

bool CFat32Format::planLayout(const tachy::RawVolume& volume, const format_params& params,
                              bool fourClusterRoot, Fat32Layout& layout) {
    const tachy::DriveGeometry& geometry = volume.geometry();
    const tachy::PartitionInformation& partition = volume.partition();
    const std::uint64_t totalSectors = partition.partitionLength / geometry.bytesPerSector;
    if (totalSectors < kMinimumSectors || totalSectors >= 0xFFFFFFFFu) {
        return fail("the volume has " + std::to_string(totalSectors) +
                    " sectors; FAT32 is written on 65,536 to 4,294,967,294 sectors");
    }
    const std::uint32_t sectorsPerCluster =
        params.sectors_per_cluster != 0
            ? params.sectors_per_cluster
            : get_sectors_per_cluster(partition.partitionLength, geometry.bytesPerSector);
    if (!isValidClusterSize(sectorsPerCluster)) {
        return fail("sectors per cluster must be a power of two from 1 to 128, not " +
                    std::to_string(sectorsPerCluster));
    }
    layout.bytesPerSector = geometry.bytesPerSector;
    layout.sectorsPerCluster = sectorsPerCluster;
    layout.sectorsPerTrack = std::min<std::uint32_t>(geometry.sectorsPerTrack, 0xFFFF);
    layout.heads = std::min<std::uint32_t>(geometry.tracksPerCylinder, 0xFFFF);
    layout.hiddenSectors = partition.hiddenSectors;
    layout.totalSectors = static_cast<std::uint32_t>(totalSectors);
    layout.fourClusterRoot = fourClusterRoot;
    layout.fatSizeSectors =
        get_fat_size_sectors(totalSectors, Fat32Layout::kReservedSectors, sectorsPerCluster,
                             Fat32Layout::kNumberOfFats, geometry.bytesPerSector);
    // The formula can fall a few bytes short of the two reserved entries; a FAT that cannot
    // hold every cluster's entry is grown rather than written too small.
    while (std::uint64_t{layout.fatSizeSectors} * layout.bytesPerSector <
               (layout.clusterCount() + 2) * 4 &&
           layout.clusterCount() > 0) {
        ++layout.fatSizeSectors;
    }
    const std::uint64_t clusters = layout.clusterCount();
    if (clusters < kMinimumClusters || clusters > kMaximumClusters) {
        return fail("the volume would have " + std::to_string(clusters) +
                    " clusters; FAT32 needs 65,536 to 268,435,445: choose another cluster size");
    }
    if (!m_label.empty()) {
        const auto label = makeFatLabel(m_label);
        if (!label) {
            return fail("the label \"" + m_label + "\" holds a character a FAT label cannot");
        }
        layout.label = *label;
    }
    return true;
}

bool CFat32Format::writeFileSystem(tachy::RawVolume& volume, const Fat32Layout& layout) {
    const std::string boot = buildBootSector(layout);
    const std::string fsInfo = buildFsInfoSector(layout);
    const std::string firstFat = buildFirstFatSector(layout);
    const std::uint64_t rootSectors =
        std::uint64_t{layout.rootClusters()} * layout.sectorsPerCluster;
    if (!zero_sectors(volume, 0, layout.firstDataSector() + rootSectors, layout.bytesPerSector) ||
        !write_sect(volume, 0, boot) || !write_sect(volume, Fat32Layout::kFsInfoSector, fsInfo) ||
        !write_sect(volume, Fat32Layout::kBackupBootSector, boot) ||
        !write_sect(volume, Fat32Layout::kBackupBootSector + 1, fsInfo) ||
        !write_sect(volume, Fat32Layout::kReservedSectors, firstFat) ||
        !write_sect(volume, Fat32Layout::kReservedSectors + layout.fatSizeSectors, firstFat)) {
        return fail("writing the file system failed");
    }
    if (layout.hasLabel()) {
        int milliseconds = 0;
        const std::tm local = localNow(&milliseconds);
        std::string root(layout.bytesPerSector, '\0');
        root.replace(0, 32, buildVolumeLabelEntry(layout, dosDate(local), dosTime(local)));
        if (!write_sect(volume, layout.firstDataSector(), root)) {
            return fail("writing the volume label failed");
        }
    }
    if (!volume.flush()) {
        return fail("the volume did not take the written data");
    }
    // What the medium holds now must be what was written: a card that drops writes fails here
    // rather than after the user has put recordings on it.
    std::string readBack(layout.bytesPerSector, '\0');
    for (const std::uint64_t sector : {std::uint64_t{0}, std::uint64_t{6}}) {
        if (!volume.read(seek_to_sect(sector, layout.bytesPerSector), readBack.data(),
                         readBack.size()) ||
            readBack != boot) {
            return fail("the boot sector did not read back as written");
        }
    }
    return true;
}

int CFat32Format::format_volume(const std::string& volume, const format_params& params,
                                bool fourClusterRoot) {
    m_lastError.clear();
    m_bytesWritten = 0;
    std::string error;
    const std::unique_ptr<tachy::RawVolume> raw = tachy::RawVolume::open(volume, m_options, &error);
    if (!raw) {
        fail(error);
        return -1;
    }
    Fat32Layout layout;
    if (!planLayout(*raw, params, fourClusterRoot, layout)) {
        return -1;
    }
    layout.volumeId = get_volume_id();
    const bool written = writeFileSystem(*raw, layout);
    m_bytesWritten = raw->bytesWritten();
    if (!written) {
        return -1;
    }
    const tachy::PartitionTypeResult type = raw->setPartitionType(kFat32LbaPartitionType);
    if (type == tachy::PartitionTypeResult::Failed && layout.hiddenSectors != 0) {
        fail("the partition type could not be set to FAT32 (0x0C)");
        return -1;
    }
    return 0;
}
