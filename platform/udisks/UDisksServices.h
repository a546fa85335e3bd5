#pragma once
// Start-up wiring: when UDisks2 answers on the bus, its volume list and its device access are
// installed for the whole program (VolumeSource, DeviceAccess); otherwise nothing is, and the
// kernel's tables and direct device access stay in use.

#include <QDBusConnection>
#include <filesystem>

namespace tachy::udisks {

// True when the service answered and was installed. The client lives on the calling thread,
// which must run an event loop for arrival and removal notices.
bool installUDisksServices(const QDBusConnection& connection = QDBusConnection::systemBus(),
                           const std::filesystem::path& attachedImages = {});

// Removes what installUDisksServices installed; also done when the application object goes.
void removeUDisksServices();

} // namespace tachy::udisks
