#pragma once
// The partition type byte in a disk's master boot record, and the numbers sysfs writes as text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tachy {

// What the master boot record says about one partition.
enum class MbrLookup {
    Found,      // a primary partition entry (1 to 4) of a valid table
    NotMbr,     // no 55 AA signature, or a GPT disk's protective record
    NotPrimary, // partition number outside 1 to 4 (a logical partition)
};

struct MbrPartitionEntry {
    MbrLookup lookup = MbrLookup::NotMbr;
    std::uint8_t type = 0;
    std::uint32_t firstSector = 0; // LBA of the partition's first sector
    std::uint32_t sectorCount = 0;
};

inline constexpr std::size_t kMbrSize = 512;
inline constexpr std::uint8_t kGptProtectiveType = 0xEE;

// Reads the entry of partition `number` (1-based) from the first bytes of a disk.
MbrPartitionEntry readMbrPartition(std::string_view sector, int number);

// Sets the type byte of partition `number` in a copy of the disk's first sector; false when the
// sector holds no such primary entry (see readMbrPartition).
bool setMbrPartitionType(std::string& sector, int number, std::uint8_t type);

// A decimal number as sysfs writes it (digits, optionally followed by a line end).
std::optional<std::uint64_t> parseSysfsNumber(std::string_view text);

} // namespace tachy
