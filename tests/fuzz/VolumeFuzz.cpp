// Reads arbitrary bytes every way the formatter reads outside data: as a FAT32 boot sector read
// back from a volume, as a disk's master boot record, as sysfs numbers and as a mount table.

#include "platform/volume/MountTable.h"
#include "platform/volume/PartitionTable.h"
#include "util/CFat32FormatLayout.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    if (const auto layout = parseBootSector(bytes)) {
        // A layout read back must build the same kind of sector again.
        const std::string rebuilt = buildBootSector(*layout);
        total += parseBootSector(rebuilt) ? rebuilt.size() : 0;
        total += buildFsInfoSector(*layout).size() + buildFirstFatSector(*layout).size();
    }
    for (int number = 0; number <= 5; ++number) {
        const tachy::MbrPartitionEntry entry = tachy::readMbrPartition(bytes, number);
        std::string copy(bytes);
        total += tachy::setMbrPartitionType(copy, number, 0x0C) ? entry.type : 0;
    }
    total += tachy::parseSysfsNumber(bytes).value_or(0) & 1;
    for (const tachy::MountEntry& mount : tachy::parseMountInfo(bytes)) {
        total += mount.mountPoint.size() + mount.source.size() + mount.major;
    }
    total += makeFatLabel(bytes) ? 1 : 0;
    return total == static_cast<std::size_t>(-1) ? 1 : 0;
}
