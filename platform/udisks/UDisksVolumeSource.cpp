#include "platform/udisks/UDisksVolumeSource.h"

#include <algorithm>
#include <sys/statvfs.h>

namespace tachy::udisks {

UDisksVolumeSource::UDisksVolumeSource(std::shared_ptr<UDisksClient> client,
                                       std::filesystem::path attachedImages)
    : m_client(std::move(client)), m_attachedImages(std::move(attachedImages)) {
    connect(m_client.get(), &UDisksClient::changed, this, [this] { notify(); });
}

UDisksVolumeSource::~UDisksVolumeSource() = default;

std::vector<RemovableVolume> UDisksVolumeSource::removableVolumes() const {
    std::vector<RemovableVolume> volumes;
    const auto blocks = m_client->blocks(nullptr);
    if (!blocks) {
        return volumes;
    }
    for (const UDisksBlockFacts& block : *blocks) {
        if (!isOfferedCard(block, m_attachedImages) || block.mountPoints.empty()) {
            continue;
        }
        const std::string& mountPoint = block.mountPoints.front();
        struct statvfs space {};
        if (::statvfs(mountPoint.c_str(), &space) != 0) {
            continue;
        }
        RemovableVolume volume;
        volume.mountPoint = mountPoint;
        volume.device = block.device;
        volume.label = block.label.empty() ? std::filesystem::path(mountPoint).filename().string()
                                           : block.label;
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

int UDisksVolumeSource::subscribe(std::function<void()> notice) const {
    const std::lock_guard lock(m_mutex);
    const int subscription = m_nextSubscription++;
    m_notices.emplace(subscription, std::move(notice));
    return subscription;
}

void UDisksVolumeSource::unsubscribe(int subscription) const {
    const std::lock_guard lock(m_mutex);
    m_notices.erase(subscription);
}

void UDisksVolumeSource::notify() const {
    std::vector<std::function<void()>> notices;
    {
        const std::lock_guard lock(m_mutex);
        for (const auto& [subscription, notice] : m_notices) {
            notices.push_back(notice);
        }
    }
    for (const auto& notice : notices) {
        notice();
    }
}

} // namespace tachy::udisks
