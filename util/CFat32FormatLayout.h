#pragma once
// The figures of one FAT32 file system as CFat32Format writes it, and its first sectors as bytes:
// boot sector, FSInfo sector, first FAT sector and the root directory's volume-label entry. A
// boot sector read back from a volume is parsed into the same figures.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct Fat32Layout {
    static constexpr std::uint32_t kReservedSectors = 32;
    static constexpr std::uint32_t kNumberOfFats = 2;
    static constexpr std::uint32_t kFsInfoSector = 1;
    static constexpr std::uint32_t kBackupBootSector = 6;
    static constexpr std::uint32_t kRootCluster = 2;
    static constexpr std::uint8_t kMedia = 0xF8;
    static constexpr std::uint8_t kDriveNumber = 0x80;

    std::uint32_t bytesPerSector = 512;
    std::uint32_t sectorsPerCluster = 1;
    std::uint32_t sectorsPerTrack = 63;
    std::uint32_t heads = 255;
    std::uint32_t hiddenSectors = 0;
    std::uint32_t totalSectors = 0;
    std::uint32_t fatSizeSectors = 0;
    std::uint32_t volumeId = 0;
    std::array<char, 11> label{'N', 'O', ' ', 'N', 'A', 'M', 'E', ' ', ' ', ' ', ' '};
    bool fourClusterRoot = false;

    std::uint32_t rootClusters() const { return fourClusterRoot ? 4 : 1; }
    std::uint64_t firstDataSector() const {
        return kReservedSectors + std::uint64_t{kNumberOfFats} * fatSizeSectors;
    }
    // Clusters of the data area: what lies after the reserved sectors and both FATs.
    std::uint64_t clusterCount() const;
    bool hasLabel() const;
};

// One sector of the layout's sector size each.
std::string buildBootSector(const Fat32Layout& layout);
std::string buildFsInfoSector(const Fat32Layout& layout);
std::string buildFirstFatSector(const Fat32Layout& layout);
// The 32-byte directory entry that names the volume, dated `dosDate`/`dosTime`.
std::string buildVolumeLabelEntry(const Fat32Layout& layout, std::uint16_t dosDate,
                                  std::uint16_t dosTime);

// The layout a FAT32 boot sector describes; nothing when the bytes are not one (signatures,
// sizes and counts that do not hold together). Only the fields this layout carries are read.
std::optional<Fat32Layout> parseBootSector(std::string_view sector);

// The label in boot-sector form: upper case, padded with spaces to 11 characters; nothing when it
// holds a character a FAT label cannot.
std::optional<std::array<char, 11>> makeFatLabel(std::string_view label);
