#include "platform/volume/PartitionTable.h"

#include <charconv>

namespace tachy {
namespace {

constexpr std::size_t kEntriesOffset = 446;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kTypeOffset = 4;
constexpr std::size_t kFirstSectorOffset = 8;
constexpr std::size_t kSectorCountOffset = 12;

std::uint32_t readLe32(std::string_view bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    }
    return value;
}

bool hasMbrSignature(std::string_view sector) {
    return sector.size() >= kMbrSize && static_cast<unsigned char>(sector[510]) == 0x55 &&
           static_cast<unsigned char>(sector[511]) == 0xAA;
}

bool isGptProtective(std::string_view sector) {
    for (std::size_t entry = 0; entry < 4; ++entry) {
        const std::size_t offset = kEntriesOffset + entry * kEntrySize + kTypeOffset;
        if (static_cast<std::uint8_t>(sector[offset]) == kGptProtectiveType) {
            return true;
        }
    }
    return false;
}

} // namespace

MbrPartitionEntry readMbrPartition(std::string_view sector, int number) {
    MbrPartitionEntry entry;
    if (!hasMbrSignature(sector) || isGptProtective(sector)) {
        return entry;
    }
    if (number < 1 || number > 4) {
        entry.lookup = MbrLookup::NotPrimary;
        return entry;
    }
    const std::size_t offset = kEntriesOffset + static_cast<std::size_t>(number - 1) * kEntrySize;
    entry.lookup = MbrLookup::Found;
    entry.type = static_cast<std::uint8_t>(sector[offset + kTypeOffset]);
    entry.firstSector = readLe32(sector, offset + kFirstSectorOffset);
    entry.sectorCount = readLe32(sector, offset + kSectorCountOffset);
    return entry;
}

bool setMbrPartitionType(std::string& sector, int number, std::uint8_t type) {
    if (readMbrPartition(sector, number).lookup != MbrLookup::Found) {
        return false;
    }
    const std::size_t offset = kEntriesOffset + static_cast<std::size_t>(number - 1) * kEntrySize;
    sector[offset + kTypeOffset] = static_cast<char>(type);
    return true;
}

std::optional<std::uint64_t> parseSysfsNumber(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace tachy
