#pragma once
// A client of the UDisks2 service (org.freedesktop.UDisks2) on one bus connection, normally the
// system bus: its block devices and drives, opening a device (the service asks the user for
// authorisation through polkit and hands back a descriptor), mounting and unmounting a file
// system, and setting a partition's type. It reports added and removed objects and changed
// properties as `changed`.

#include "platform/udisks/UDisksBlockFacts.h"

#include <QDBusConnection>
#include <QObject>
#include <optional>
#include <string>
#include <vector>

class QDBusMessage;

namespace tachy::udisks {

class UDisksClient : public QObject {
    Q_OBJECT

public:
    // Listens for the service's signals on `connection` from the start.
    explicit UDisksClient(QDBusConnection connection, QObject* parent = nullptr);
    ~UDisksClient() override;

    // The service's version ("2.9.4"); nothing when no service answers on the connection. Asking
    // starts a service the bus can activate.
    std::optional<QString> version() const;

    // Every block device, its drive's facts filled in; nothing, with the reason, when the
    // service does not answer.
    std::optional<std::vector<UDisksBlockFacts>> blocks(std::string* error) const;
    // The block device with this node (or one of its links); nothing, with the reason, when
    // the service does not know it.
    std::optional<UDisksBlockFacts> blockOf(const std::string& device, std::string* error) const;

    // Block.OpenDevice: an owned descriptor, or -1 with the reason. For writing the device is
    // opened exclusively.
    int openDevice(const QString& objectPath, bool forWriting, std::string* error) const;
    // Filesystem.Mount: the mount point, or nothing with the reason.
    std::optional<std::string> mount(const QString& objectPath, std::string* error) const;
    // Filesystem.Unmount; false with the reason.
    bool unmount(const QString& objectPath, std::string* error) const;
    // Partition.SetType with a type such as "0x0c"; false with the reason.
    bool setPartitionType(const QString& objectPath, const QString& type, std::string* error) const;

    // How long a call that may wait for the user's authorisation may take.
    static constexpr int kAuthorisedCallMilliseconds = 5 * 60 * 1000;

signals:
    void changed();

private slots:
    void onServiceSignal(const QDBusMessage& message);

private:
    QDBusMessage call(const QString& objectPath, const QString& interface, const QString& method,
                      const QVariantList& arguments, int timeoutMilliseconds) const;

    QDBusConnection m_connection;
};

} // namespace tachy::udisks
