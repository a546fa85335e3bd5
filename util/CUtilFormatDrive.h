#pragma once
// Formats a volume (a mount point, a block device or an image file) with the system's own
// formatter, mkfs.fat here.

#include "platform/volume/SystemFormatter.h"

#include <cstdint>
#include <string>

class CUtilFormatDrive {
public:
    CUtilFormatDrive();

    // Formats `volume` with `fileSystem` ("FAT32" is the one the suite asks for), quickly unless
    // `quick` is 0, with `clusterSize` bytes per cluster (0: the formatter's choice) and the first
    // 11 characters of `label`. 1 when the formatter reported success, 0 otherwise (an optical
    // or network volume, another file system, a refused volume, a failed run).
    int FormatDrive(const std::string& volume, const std::string& fileSystem, int quick,
                    std::uint32_t clusterSize, const std::string& label);

    void SetFormatter(const tachy::SystemFormatter& formatter) { m_formatter = formatter; }
    void SetEnvironment(const tachy::VolumeEnvironment& environment);
    // The sector size an image file is given.
    void SetImageSectorSize(std::uint32_t size) { m_imageSectorSize = size; }
    const std::string& GetLastError() const { return m_lastError; }

private:
    bool isFormattable(const std::string& volume);

    tachy::SystemFormatter m_formatter;
    tachy::VolumeEnvironment m_environment;
    std::uint32_t m_imageSectorSize = 512;
    std::string m_lastError;
};
