#include "platform/volume/DeviceAccess.h"

#include "platform/volume/VolumeSource.h"

#include <mutex>

namespace tachy {
namespace {

std::mutex& installedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const DeviceAccess>& installedSlot() {
    static std::shared_ptr<const DeviceAccess> access;
    return access;
}

} // namespace

void installDeviceAccess(std::shared_ptr<const DeviceAccess> access) {
    const std::lock_guard lock(installedMutex());
    installedSlot() = std::move(access);
}

std::shared_ptr<const DeviceAccess> installedDeviceAccess() {
    const std::lock_guard lock(installedMutex());
    return installedSlot();
}

std::shared_ptr<const DeviceAccess> deviceAccessFor(const VolumeEnvironment& environment) {
    return isMachineEnvironment(environment) ? installedDeviceAccess() : nullptr;
}

bool unmountForWriting(const VolumeTarget& target, const DeviceAccess* access, std::string* error) {
    if (target.imageFile || target.mounts.empty()) {
        return true;
    }
    std::string serviceError;
    if (access != nullptr && access->unmount(target.path, &serviceError)) {
        return true;
    }
    if (unmountVolumeTarget(target, error)) {
        return true;
    }
    if (access != nullptr && error != nullptr) {
        *error = serviceError; // the service's reason says more than the refused umount2
    }
    return false;
}

} // namespace tachy
