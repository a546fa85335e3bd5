#pragma once
// Writes a fresh FAT32 file system straight onto a volume (a mount point, a block device or an
// image file) through raw sector I/O: boot sector, FSInfo, their backups, empty FATs and an empty
// root directory. Works from 65,536 sectors to just under 2^32, so also on cards above 32 GB.

#include "platform/volume/RawVolume.h"
#include "util/CFat32FormatLayout.h"

#include <cstdint>
#include <ctime>
#include <string>

// The options of one format run.
struct format_params {
    std::uint32_t sectors_per_cluster = 0; // 0: chosen from the volume's size
};

class CFat32Format {
public:
    CFat32Format();
    virtual ~CFat32Format();
    CFat32Format(const CFat32Format&) = delete;
    CFat32Format& operator=(const CFat32Format&) = delete;

    // Formats the volume. `sectorsPerCluster` 0 chooses the cluster size; 64 also gives the root
    // directory four clusters. Non-zero on success, 0 on failure (GetLastError says why).
    int Format(int sectorsPerCluster, const std::string& volume);

    // How the volume is opened (an image's sector size, where the kernel's tables are read).
    void SetVolumeOptions(const tachy::RawVolumeOptions& options);
    // The label written with the file system; empty (the default) writes "NO NAME".
    void SetVolumeLabel(const std::string& label);
    const std::string& GetLastError() const { return m_lastError; }
    // Bytes the last run wrote to the volume.
    std::uint64_t GetBytesWritten() const { return m_bytesWritten; }

protected:
    static std::uint32_t get_volume_id();
    static std::uint32_t get_volume_id(const std::tm& localTime, int milliseconds);
    static std::uint32_t get_sectors_per_cluster(std::uint64_t partitionBytes,
                                                 std::uint32_t bytesPerSector);
    static std::uint32_t get_fat_size_sectors(std::uint64_t totalSectors, std::uint32_t reserved,
                                              std::uint32_t sectorsPerCluster,
                                              std::uint32_t numberOfFats,
                                              std::uint32_t bytesPerSector);
    static std::uint64_t seek_to_sect(std::uint64_t sector, std::uint32_t bytesPerSector);
    static bool write_sect(tachy::RawVolume& volume, std::uint64_t sector,
                           const std::string& bytes);
    static bool zero_sectors(tachy::RawVolume& volume, std::uint64_t firstSector,
                             std::uint64_t count, std::uint32_t bytesPerSector);
    // 0 on success, -1 on failure.
    int format_volume(const std::string& volume, const format_params& params, bool fourClusterRoot);

private:
    bool planLayout(const tachy::RawVolume& volume, const format_params& params,
                    bool fourClusterRoot, Fat32Layout& layout);
    bool writeFileSystem(tachy::RawVolume& volume, const Fat32Layout& layout);
    bool fail(const std::string& reason);

    tachy::RawVolumeOptions m_options;
    std::string m_label;
    std::string m_lastError;
    std::uint64_t m_bytesWritten = 0;
};
