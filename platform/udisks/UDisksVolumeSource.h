#pragma once
// The removable volumes as UDisks2 lists them: mounted file systems on removable drives or
// removable media, and loop devices a user attached (UDisksBlockFacts' isOfferedCard), with the
// space of each read from its mount point. Arrivals, removals and mount changes come as notices
// from the service's signals.

#include "platform/udisks/UDisksClient.h"
#include "platform/volume/VolumeSource.h"

#include <QObject>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tachy::udisks {

class UDisksVolumeSource : public QObject, public VolumeSource {
    Q_OBJECT

public:
    // `attachedImages`: loop devices whose image lies in this folder are offered too (empty:
    // only those UDisks2 counts as no system device).
    explicit UDisksVolumeSource(std::shared_ptr<UDisksClient> client,
                                std::filesystem::path attachedImages = {});
    ~UDisksVolumeSource() override;

    // Empty when the service does not answer.
    std::vector<RemovableVolume> removableVolumes() const override;
    // Notices come on the client's thread.
    int subscribe(std::function<void()> notice) const override;
    void unsubscribe(int subscription) const override;

private:
    void notify() const;

    std::shared_ptr<UDisksClient> m_client;
    std::filesystem::path m_attachedImages;
    mutable std::mutex m_mutex;
    mutable std::map<int, std::function<void()>> m_notices;
    mutable int m_nextSubscription = 1;
};

} // namespace tachy::udisks
