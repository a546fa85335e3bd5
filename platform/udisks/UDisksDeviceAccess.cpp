#include "platform/udisks/UDisksDeviceAccess.h"

#include <QString>

namespace tachy::udisks {

UDisksDeviceAccess::UDisksDeviceAccess(std::shared_ptr<UDisksClient> client)
    : m_client(std::move(client)) {}

int UDisksDeviceAccess::openDevice(const std::filesystem::path& device, bool forWriting,
                                   std::string* error) const {
    const auto block = m_client->blockOf(device.string(), error);
    return block ? m_client->openDevice(block->objectPath, forWriting, error) : -1;
}

bool UDisksDeviceAccess::unmount(const std::filesystem::path& device, std::string* error) const {
    const auto block = m_client->blockOf(device.string(), error);
    if (!block) {
        return false;
    }
    if (!block->hasFileSystem || block->mountPoints.empty()) {
        return true;
    }
    return m_client->unmount(block->objectPath, error);
}

PartitionTypeResult UDisksDeviceAccess::setPartitionType(const std::filesystem::path& partition,
                                                         std::uint8_t type,
                                                         std::string* error) const {
    const auto block = m_client->blockOf(partition.string(), error);
    if (!block) {
        return PartitionTypeResult::Failed;
    }
    if (!block->isPartition || block->partitionType.rfind("0x", 0) != 0) {
        return PartitionTypeResult::NotApplicable;
    }
    const QString text = QStringLiteral("0x%1").arg(type, 2, 16, QLatin1Char('0'));
    return m_client->setPartitionType(block->objectPath, text, error) ? PartitionTypeResult::Set
                                                                      : PartitionTypeResult::Failed;
}

} // namespace tachy::udisks
