#include "platform/volume/VolumeSource.h"

#include "platform/volume/Volume.h"

#include <mutex>

namespace tachy {
namespace {

std::mutex& installedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const VolumeSource>& installedSlot() {
    static std::shared_ptr<const VolumeSource> source;
    return source;
}

} // namespace

int VolumeSource::subscribe(std::function<void()> /*notice*/) const {
    return 0;
}

void VolumeSource::unsubscribe(int /*subscription*/) const {}

bool isMachineEnvironment(const VolumeEnvironment& environment) {
    const VolumeEnvironment machine;
    return environment.sysfsRoot == machine.sysfsRoot &&
           environment.mountInfo == machine.mountInfo &&
           environment.deviceRoot == machine.deviceRoot;
}

void installVolumeSource(std::shared_ptr<const VolumeSource> source) {
    const std::lock_guard lock(installedMutex());
    installedSlot() = std::move(source);
}

std::shared_ptr<const VolumeSource> installedVolumeSource() {
    const std::lock_guard lock(installedMutex());
    return installedSlot();
}

std::shared_ptr<const VolumeSource> volumeSourceFor(const VolumeEnvironment& environment) {
    if (isMachineEnvironment(environment)) {
        if (auto installed = installedVolumeSource()) {
            return installed;
        }
    }
    return std::make_shared<Volume>(environment);
}

} // namespace tachy
