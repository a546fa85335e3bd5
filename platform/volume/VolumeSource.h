#pragma once
// Where the list of removable volumes comes from. The kernel's tables (Volume) always answer; a
// desktop service (UDisks2) may be installed at start-up, and then lists for the machine itself.
// Lists read from a tree of a test's own always come from those tables.

#include "platform/volume/VolumeTarget.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tachy {

struct RemovableVolume {
    std::string label;      // the file system's label; the mount point's name when it has none
    std::string mountPoint; // the drive
    std::string device;     // the device node
    std::uint64_t totalBytes = 0;
    std::uint64_t freeBytes = 0;
};

class VolumeSource {
public:
    virtual ~VolumeSource() = default;

    // Sorted by mount point; a volume whose space cannot be read is left out.
    virtual std::vector<RemovableVolume> removableVolumes() const = 0;

    // Calls `notice` (on the source's own thread) when a volume may have arrived or gone; the
    // answer is a number for unsubscribe, or 0 when the source sends no notices (the caller
    // then asks again from time to time).
    virtual int subscribe(std::function<void()> notice) const;
    virtual void unsubscribe(int subscription) const;
};

// True when `environment` is the machine's own (/sys, /proc/self/mountinfo, /dev).
bool isMachineEnvironment(const VolumeEnvironment& environment);

// The source a program installs at start-up for the machine's own volumes; null removes it.
void installVolumeSource(std::shared_ptr<const VolumeSource> source);
std::shared_ptr<const VolumeSource> installedVolumeSource();

// The installed source when `environment` is the machine's own and one is installed, else the
// kernel's tables read through `environment`.
std::shared_ptr<const VolumeSource> volumeSourceFor(const VolumeEnvironment& environment);

} // namespace tachy
