#pragma once
// The removable volumes of the machine: mounted file systems on removable or hot-plug disks (a
// card in a reader, a USB stick), each with its label, mount point, device and space. The mount
// point is what the suite calls the volume's drive. Kernel tables are read from an injectable
// environment so that tests can list a tree of their own.

#include "platform/volume/VolumeSource.h"
#include "platform/volume/VolumeTarget.h"

#include <string>
#include <vector>

namespace tachy {

class Volume : public VolumeSource {
public:
    explicit Volume(VolumeEnvironment environment = {});

    // Sorted by mount point; a device mounted twice is listed once, at its first mount. A volume
    // whose space cannot be read is left out.
    std::vector<RemovableVolume> removableVolumes() const override;

    // Waits up to `timeoutMilliseconds` for the mount table to change (a card arrived or was
    // removed); true when it changed. Reads the table's change notice through poll.
    bool waitForChange(int timeoutMilliseconds) const;

private:
    std::string labelOf(const std::string& deviceName, const std::string& mountPoint) const;

    VolumeEnvironment m_environment;
};

} // namespace tachy
