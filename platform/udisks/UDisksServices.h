#pragma once
// Start-up wiring: when UDisks2 answers on the bus, its volume list and its device access are
// installed for the whole program (VolumeSource, DeviceAccess); otherwise nothing is, and the
// kernel's tables and direct device access stay in use.
//
// Formatting itself stays with mkfs.fat (SystemFormatter) and CFat32Format: UDisks2 2.9's
// Block.Format("vfat") chooses the FAT type and cluster size itself and ignores "mkfs-args" (a
// 64 MiB card came out FAT16 with 2 KiB clusters), while the recorder wants FAT32 with its own
// cluster size. CFat32Format on a descriptor from OpenDevice is the path that needs no root.

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
