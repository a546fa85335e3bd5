// Formats image files of fuzzed geometry: the sector size, the volume's length in bytes, the
// cluster size asked for and the label all come from the input. Whatever the formatter accepts
// must read back as the FAT32 file system it planned: a boot sector that parses, the backup
// boot sector equal to it, both FATs large enough for every cluster, the cluster count in
// FAT32's range. Whatever it refuses must leave the image untouched and say why. The cluster-
// size and FAT-size formulas are also checked on their own over the full 32-bit sector range.
//
// Input: byte 0 the sector size (low two bits: 512, 1024, 2048, 4096; bit 2 an unsupported
// 520), byte 1 the sectors per cluster asked for (0: automatic), bytes 2 to 9 the length in
// bytes (little-endian), the rest the label.

#include "util/CFat32Format.h"
#include "util/CFat32FormatLayout.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Opens the formatter's sizing formulas to the fuzzer.
class Fat32Steps : public CFat32Format {
public:
    using CFat32Format::get_fat_size_sectors;
    using CFat32Format::get_sectors_per_cluster;
};

// Images are sparse, but what the formatter writes (both FATs) is real memory on /dev/shm:
// volumes with more clusters than this are only planned through the formulas.
constexpr std::uint64_t kMaxFormattedClusters = std::uint64_t{1} << 18;

std::filesystem::path scratchImage() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return base / ("tachy-fuzz-fat32-" + std::to_string(::getpid()) + ".img");
}

std::uint64_t readLength(const std::uint8_t* data) {
    std::uint64_t length = 0;
    std::memcpy(&length, data, sizeof length);
    // Up to 2 TiB, so that lengths above the 2^32-sector limit are reached.
    return length % (std::uint64_t{1} << 41);
}

void checkFormulas(std::uint64_t length, std::uint32_t bytesPerSector, std::uint32_t asked) {
    const std::uint32_t automatic = Fat32Steps::get_sectors_per_cluster(length, bytesPerSector);
    require(automatic >= 1 && automatic <= 128 && (automatic & (automatic - 1)) == 0);
    const std::uint64_t total = length / bytesPerSector;
    if (total < 65536 || total >= 0xFFFFFFFFu) {
        return;
    }
    const std::uint32_t cluster = asked != 0 ? asked : automatic;
    const std::uint32_t fat = Fat32Steps::get_fat_size_sectors(
        total, Fat32Layout::kReservedSectors, cluster, Fat32Layout::kNumberOfFats, bytesPerSector);
    require(fat >= 1);
    require(std::uint64_t{fat} * Fat32Layout::kNumberOfFats < total);
}

std::string readSector(int fd, std::uint64_t sector, std::uint32_t size) {
    std::string bytes(size, '\0');
    const ssize_t read = ::pread(fd, bytes.data(), size, static_cast<off_t>(sector * size));
    return read == static_cast<ssize_t>(size) ? bytes : std::string();
}

void checkFormatted(const std::filesystem::path& image, std::uint32_t bytesPerSector,
                    std::uint64_t length, const std::string& label) {
    const int fd = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
    require(fd >= 0);
    const std::string boot = readSector(fd, 0, bytesPerSector);
    const auto layout = parseBootSector(boot);
    require(layout.has_value());
    require(readSector(fd, Fat32Layout::kBackupBootSector, bytesPerSector) == boot);
    require(layout->bytesPerSector == bytesPerSector);
    require(layout->totalSectors == length / bytesPerSector);
    const std::uint64_t clusters = layout->clusterCount();
    require(clusters >= 65536 && clusters <= 0x0FFFFFF5);
    require(std::uint64_t{layout->fatSizeSectors} * bytesPerSector >= (clusters + 2) * 4);
    require(layout->firstDataSector() +
                std::uint64_t{layout->rootClusters()} * layout->sectorsPerCluster <=
            layout->totalSectors);
    if (const auto fatLabel = makeFatLabel(label); fatLabel && !label.empty()) {
        require(layout->label == *fatLabel);
    }
    ::close(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) {
        return 0;
    }
    const std::uint32_t bytesPerSector = (data[0] & 4) != 0 ? 520 : 512u << (data[0] & 3);
    const int asked = data[1];
    const std::uint64_t length = readLength(data + 2);
    const std::string label(reinterpret_cast<const char*>(data + 10), size - 10);
    if (bytesPerSector != 520) {
        checkFormulas(length, bytesPerSector,
                      (asked >= 1 && asked <= 128 && (asked & (asked - 1)) == 0) ? asked : 0);
    }

    const std::uint32_t planned = asked != 0
                                      ? static_cast<std::uint32_t>(asked)
                                      : Fat32Steps::get_sectors_per_cluster(length, bytesPerSector);
    if (length / bytesPerSector / std::max<std::uint32_t>(planned, 1) > kMaxFormattedClusters) {
        return 0;
    }
    static const std::filesystem::path image = scratchImage();
    {
        const int fd = ::open(image.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            return 0;
        }
        const bool sized = ::ftruncate(fd, static_cast<off_t>(length)) == 0;
        ::close(fd);
        if (!sized) {
            std::filesystem::remove(image);
            return 0;
        }
    }
    CFat32Format format;
    tachy::RawVolumeOptions options;
    options.imageSectorSize = bytesPerSector;
    format.SetVolumeOptions(options);
    format.SetVolumeLabel(label);
    if (format.Format(asked, image.string()) != 0) {
        require(bytesPerSector != 520);
        checkFormatted(image, bytesPerSector, length, label);
    } else {
        require(!format.GetLastError().empty());
        require(format.GetBytesWritten() == 0);
    }
    std::filesystem::remove(image);
    return 0;
}
