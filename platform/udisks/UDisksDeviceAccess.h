#pragma once
// Opens and unmounts block devices through UDisks2, so that a user who does not own the card's
// device is asked for authorisation (polkit) instead of needing root.

#include "platform/udisks/UDisksClient.h"
#include "platform/volume/DeviceAccess.h"

#include <memory>

namespace tachy::udisks {

class UDisksDeviceAccess : public DeviceAccess {
public:
    explicit UDisksDeviceAccess(std::shared_ptr<UDisksClient> client);

    int openDevice(const std::filesystem::path& device, bool forWriting,
                   std::string* error) const override;
    // Unmounts the device's file system wherever it is mounted; true when it was not mounted.
    bool unmount(const std::filesystem::path& device, std::string* error) const override;
    // Partition.SetType on a partition of an MBR disk (UDisks2 gives its type as "0x.."); a
    // GPT partition or a whole disk is not applicable.
    PartitionTypeResult setPartitionType(const std::filesystem::path& partition, std::uint8_t type,
                                         std::string* error) const override;

private:
    std::shared_ptr<UDisksClient> m_client;
};

} // namespace tachy::udisks
