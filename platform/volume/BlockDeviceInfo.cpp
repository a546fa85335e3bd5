#include "platform/volume/BlockDeviceInfo.h"

#include "platform/fs/FileIo.h"
#include "platform/volume/PartitionTable.h"

#include <system_error>

namespace tachy {
namespace {

std::optional<std::uint64_t> readNumber(const std::filesystem::path& path) {
    const std::optional<std::string> text = fs::readFile(path);
    return text ? parseSysfsNumber(*text) : std::nullopt;
}

} // namespace

std::optional<BlockDeviceInfo> readBlockDeviceInfo(const std::filesystem::path& sysfsRoot,
                                                   unsigned major, unsigned minor) {
    std::error_code error;
    const std::filesystem::path link =
        sysfsRoot / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
    const std::filesystem::path folder = std::filesystem::canonical(link, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    BlockDeviceInfo info;
    info.name = folder.filename().string();
    info.sizeSectors = readNumber(folder / "size").value_or(0);
    std::filesystem::path diskFolder = folder;
    if (const auto number = readNumber(folder / "partition"); number && *number > 0) {
        info.partitionNumber = static_cast<int>(std::min<std::uint64_t>(*number, 1u << 20));
        info.startSectors = readNumber(folder / "start").value_or(0);
        diskFolder = folder.parent_path();
    }
    info.diskName = diskFolder.filename().string();
    info.removable = readNumber(diskFolder / "removable").value_or(0) == 1;
    const std::string where = diskFolder.string();
    info.hotPlug =
        where.find("/usb") != std::string::npos || where.find("/mmc") != std::string::npos;
    return info;
}

} // namespace tachy
