#include "util/CFat32FormatLayout.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kFsInfoLeadSignature = 0x41615252;
constexpr std::uint32_t kFsInfoStructSignature = 0x61417272;
constexpr std::uint32_t kFsInfoTrailSignature = 0xAA550000;
constexpr std::uint32_t kEndOfChain = 0x0FFFFFFF;
constexpr std::uint32_t kMediaEntry = 0x0FFFFFF8;
constexpr std::uint8_t kVolumeLabelAttribute = 0x08;

void put16(std::string& bytes, std::size_t offset, std::uint32_t value) {
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    put16(bytes, offset, value & 0xFFFF);
    put16(bytes, offset + 2, value >> 16);
}

std::uint32_t get16(std::string_view bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8;
}

std::uint32_t get32(std::string_view bytes, std::size_t offset) {
    return get16(bytes, offset) | get16(bytes, offset + 2) << 16;
}

void putText(std::string& bytes, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool isPowerOfTwo(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// The free-cluster figures of FSInfo: clusters 2 up to the end of the root directory are taken.
std::uint32_t freeClusters(const Fat32Layout& layout) {
    return static_cast<std::uint32_t>(layout.clusterCount() - layout.rootClusters());
}

} // namespace

std::uint64_t Fat32Layout::clusterCount() const {
    const std::uint64_t used = firstDataSector();
    if (sectorsPerCluster == 0 || totalSectors <= used) {
        return 0;
    }
    return (totalSectors - used) / sectorsPerCluster;
}

bool Fat32Layout::hasLabel() const {
    return std::string_view(label.data(), label.size()) != "NO NAME    ";
}

std::string buildBootSector(const Fat32Layout& layout) {
    std::string sector(layout.bytesPerSector, '\0');
    putText(sector, 0, "\xEB\x5A\x90");
    putText(sector, 3, "MSWIN4.1");
    put16(sector, 11, layout.bytesPerSector);
    sector[13] = static_cast<char>(layout.sectorsPerCluster);
    put16(sector, 14, Fat32Layout::kReservedSectors);
    sector[16] = static_cast<char>(Fat32Layout::kNumberOfFats);
    sector[21] = static_cast<char>(Fat32Layout::kMedia);
    put16(sector, 24, layout.sectorsPerTrack);
    put16(sector, 26, layout.heads);
    put32(sector, 28, layout.hiddenSectors);
    put32(sector, 32, layout.totalSectors);
    put32(sector, 36, layout.fatSizeSectors);
    put32(sector, 44, Fat32Layout::kRootCluster);
    put16(sector, 48, Fat32Layout::kFsInfoSector);
    put16(sector, 50, Fat32Layout::kBackupBootSector);
    sector[64] = static_cast<char>(Fat32Layout::kDriveNumber);
    sector[66] = 0x29;
    put32(sector, 67, layout.volumeId);
    putText(sector, 71, std::string_view(layout.label.data(), layout.label.size()));
    putText(sector, 82, "FAT32   ");
    put16(sector, 510, 0xAA55);
    if (layout.bytesPerSector != 512) {
        put16(sector, layout.bytesPerSector - 2, 0xAA55);
    }
    return sector;
}

std::string buildFsInfoSector(const Fat32Layout& layout) {
    std::string sector(layout.bytesPerSector, '\0');
    put32(sector, 0, kFsInfoLeadSignature);
    put32(sector, 484, kFsInfoStructSignature);
    put32(sector, 488, freeClusters(layout));
    put32(sector, 492, Fat32Layout::kRootCluster + layout.rootClusters());
    put32(sector, 508, kFsInfoTrailSignature);
    return sector;
}

std::string buildFirstFatSector(const Fat32Layout& layout) {
    std::string sector(layout.bytesPerSector, '\0');
    put32(sector, 0, kMediaEntry);
    put32(sector, 4, kEndOfChain);
    const std::uint32_t last = Fat32Layout::kRootCluster + layout.rootClusters() - 1;
    for (std::uint32_t cluster = Fat32Layout::kRootCluster; cluster <= last; ++cluster) {
        put32(sector, cluster * 4, cluster == last ? kEndOfChain : cluster + 1);
    }
    return sector;
}

std::string buildVolumeLabelEntry(const Fat32Layout& layout, std::uint16_t dosDate,
                                  std::uint16_t dosTime) {
    std::string entry(32, '\0');
    putText(entry, 0, std::string_view(layout.label.data(), layout.label.size()));
    entry[11] = static_cast<char>(kVolumeLabelAttribute);
    put16(entry, 22, dosTime);
    put16(entry, 24, dosDate);
    return entry;
}

std::optional<Fat32Layout> parseBootSector(std::string_view sector) {
    if (sector.size() < 512 || get16(sector, 510) != 0xAA55) {
        return std::nullopt;
    }
    Fat32Layout layout;
    layout.bytesPerSector = get16(sector, 11);
    layout.sectorsPerCluster = static_cast<unsigned char>(sector[13]);
    if (!isPowerOfTwo(layout.bytesPerSector) || layout.bytesPerSector < 512 ||
        layout.bytesPerSector > sector.size() || !isPowerOfTwo(layout.sectorsPerCluster) ||
        get16(sector, 14) != Fat32Layout::kReservedSectors ||
        static_cast<unsigned char>(sector[16]) != Fat32Layout::kNumberOfFats ||
        get16(sector, 17) != 0 || get16(sector, 19) != 0 || get16(sector, 22) != 0 ||
        get32(sector, 44) != Fat32Layout::kRootCluster ||
        get16(sector, layout.bytesPerSector - 2) != 0xAA55) {
        return std::nullopt;
    }
    layout.sectorsPerTrack = get16(sector, 24);
    layout.heads = get16(sector, 26);
    layout.hiddenSectors = get32(sector, 28);
    layout.totalSectors = get32(sector, 32);
    layout.fatSizeSectors = get32(sector, 36);
    layout.volumeId = get32(sector, 67);
    std::memcpy(layout.label.data(), sector.data() + 71, layout.label.size());
    const std::uint64_t clusters = layout.clusterCount();
    if (clusters < 65525 || clusters > 0x0FFFFFF5 ||
        std::uint64_t{layout.fatSizeSectors} * layout.bytesPerSector < (clusters + 2) * 4) {
        return std::nullopt;
    }
    return layout;
}

std::optional<std::array<char, 11>> makeFatLabel(std::string_view label) {
    std::array<char, 11> result;
    result.fill(' ');
    if (label.size() > result.size()) {
        label = label.substr(0, result.size());
    }
    for (std::size_t i = 0; i < label.size(); ++i) {
        const auto c = static_cast<unsigned char>(label[i]);
        if (c < 0x20 || c > 0x7E || std::strchr("\"*+,./:;<=>?[\\]|", c) != nullptr) {
            return std::nullopt;
        }
        result[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return result;
}
