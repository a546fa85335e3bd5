#pragma once
// The system's own FAT32 formatter: mkfs.fat from dosfstools, run as a child process on a
// volume (a mount point, a block device or an image file). The volume is resolved, checked and
// unmounted the way RawVolume does before the formatter is started.

#include "platform/volume/VolumeTarget.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tachy {

struct SystemFormatRequest {
    std::string volume;
    std::uint32_t clusterBytes = 0;      // 0: the formatter's own choice
    std::string label;                   // at most 11 characters are used; empty: no label
    bool quick = true;                   // false: check a device for bad blocks first
    std::uint32_t imageSectorSize = 512; // the sector size an image file is given
};

class SystemFormatter {
public:
    explicit SystemFormatter(std::filesystem::path program = "mkfs.fat");

    void setEnvironment(const VolumeEnvironment& environment) { m_environment = environment; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Formats the volume FAT32; false, with the reason in `error`, when the volume is refused,
    // the formatter cannot be started, does not end in time or reports a failure.
    bool format(const SystemFormatRequest& request, std::string* error) const;

private:
    std::filesystem::path m_program;
    VolumeEnvironment m_environment;
    std::chrono::milliseconds m_timeout = std::chrono::minutes(30);
};

} // namespace tachy
