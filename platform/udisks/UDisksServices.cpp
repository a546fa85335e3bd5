#include "platform/udisks/UDisksServices.h"

#include "platform/udisks/UDisksClient.h"
#include "platform/udisks/UDisksDeviceAccess.h"
#include "platform/udisks/UDisksVolumeSource.h"
#include "platform/volume/DeviceAccess.h"
#include "platform/volume/VolumeSource.h"

#include <QCoreApplication>

namespace tachy::udisks {

bool installUDisksServices(const QDBusConnection& connection,
                           const std::filesystem::path& attachedImages) {
    auto client = std::make_shared<UDisksClient>(connection);
    if (!client->version()) {
        return false;
    }
    installVolumeSource(std::make_shared<UDisksVolumeSource>(client, attachedImages));
    installDeviceAccess(std::make_shared<UDisksDeviceAccess>(client));
    // The client and its bus connection go with the application object, not after it.
    qAddPostRoutine(removeUDisksServices);
    return true;
}

void removeUDisksServices() {
    installVolumeSource(nullptr);
    installDeviceAccess(nullptr);
}

} // namespace tachy::udisks
