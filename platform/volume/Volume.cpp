#include "platform/volume/Volume.h"

#include "platform/fs/UniqueFd.h"

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <sys/statvfs.h>
#include <system_error>

namespace tachy {
namespace {

// udev names label links with \xHH escapes for spaces and other bytes.
std::string decodeUdevName(const std::string& name) {
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            text.push_back(static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            text.push_back(name[i]);
        }
    }
    return text;
}

} // namespace

Volume::Volume(VolumeEnvironment environment) : m_environment(std::move(environment)) {}

std::string Volume::labelOf(const std::string& deviceName, const std::string& mountPoint) const {
    std::error_code error;
    const std::filesystem::path labels = m_environment.deviceRoot / "disk" / "by-label";
    for (const auto& entry : std::filesystem::directory_iterator(labels, error)) {
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.filename() == deviceName) {
            return decodeUdevName(entry.path().filename().string());
        }
    }
    return std::filesystem::path(mountPoint).filename().string();
}

std::vector<RemovableVolume> Volume::removableVolumes() const {
    std::vector<RemovableVolume> volumes;
    std::set<std::pair<unsigned, unsigned>> seen;
    for (const MountEntry& mount : readMountInfo(m_environment.mountInfo)) {
        const auto device = readBlockDeviceInfo(m_environment.sysfsRoot, mount.major, mount.minor);
        if (!device || !(device->removable || device->hotPlug) ||
            !seen.insert({mount.major, mount.minor}).second) {
            continue;
        }
        struct statvfs space {};
        if (::statvfs(mount.mountPoint.c_str(), &space) != 0) {
            continue;
        }
        RemovableVolume volume;
        volume.mountPoint = mount.mountPoint;
        volume.device = (m_environment.deviceRoot / device->name).string();
        volume.label = labelOf(device->name, mount.mountPoint);
        volume.totalBytes = static_cast<std::uint64_t>(space.f_blocks) * space.f_frsize;
        volume.freeBytes = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
        volumes.push_back(std::move(volume));
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const RemovableVolume& a, const RemovableVolume& b) {
                  return a.mountPoint < b.mountPoint;
              });
    return volumes;
}

bool Volume::waitForChange(int timeoutMilliseconds) const {
    // The kernel flags a mount-table change as POLLPRI | POLLERR on an open mountinfo file; a
    // file of our own (a test's) never does, and the wait simply times out.
    const fs::UniqueFd table(::open(m_environment.mountInfo.c_str(), O_RDONLY | O_CLOEXEC));
    if (!table.valid()) {
        return false;
    }
    pollfd descriptor{table.get(), POLLPRI, 0};
    return ::poll(&descriptor, 1, timeoutMilliseconds) > 0 &&
           (descriptor.revents & (POLLPRI | POLLERR)) != 0;
}

} // namespace tachy
