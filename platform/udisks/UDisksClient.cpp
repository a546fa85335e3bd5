#include "platform/udisks/UDisksClient.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <fcntl.h>
#include <filesystem>

namespace tachy::udisks {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kManagerPath = QStringLiteral("/org/freedesktop/UDisks2/Manager");
const QString kRootPath = QStringLiteral("/org/freedesktop/UDisks2");
const QString kObjectManager = QStringLiteral("org.freedesktop.DBus.ObjectManager");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kPartition = QStringLiteral("org.freedesktop.UDisks2.Partition");
// Short calls: listing and properties. A service that does not answer in this time is taken as
// absent, and the kernel's tables answer instead.
constexpr int kQueryMilliseconds = 5000;

using ObjectMap = QMap<QDBusObjectPath, InterfaceMap>;

void setError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

bool replyFailed(const QDBusMessage& reply, std::string* error) {
    if (reply.type() == QDBusMessage::ReplyMessage) {
        return false;
    }
    setError(
        error,
        (reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage()).toStdString());
    return true;
}

// Options that let the service ask the user for authorisation.
QVariantMap interactiveOptions() {
    return {{QStringLiteral("auth.no_user_interaction"), false}};
}

ObjectMap objectsOf(const QDBusMessage& reply) {
    ObjectMap objects;
    if (!reply.arguments().isEmpty()) {
        reply.arguments().constFirst().value<QDBusArgument>() >> objects;
    }
    return objects;
}

bool isDeviceOrLink(const UDisksBlockFacts& block, const std::string& device) {
    if (block.device == device) {
        return true;
    }
    for (const std::string& link : block.links) {
        if (link == device) {
            return true;
        }
    }
    return false;
}

} // namespace

UDisksClient::UDisksClient(QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)) {
    // Any path: the object manager's signals come from its root, property changes from each
    // device's object.
    m_connection.connect(kService, kRootPath, kObjectManager, QStringLiteral("InterfacesAdded"),
                         this, SLOT(onServiceSignal(QDBusMessage)));
    m_connection.connect(kService, kRootPath, kObjectManager, QStringLiteral("InterfacesRemoved"),
                         this, SLOT(onServiceSignal(QDBusMessage)));
    m_connection.connect(kService, QString(), kProperties, QStringLiteral("PropertiesChanged"),
                         this, SLOT(onServiceSignal(QDBusMessage)));
}

UDisksClient::~UDisksClient() = default;

void UDisksClient::onServiceSignal(const QDBusMessage& /*message*/) {
    emit changed();
}

QDBusMessage UDisksClient::call(const QString& objectPath, const QString& interface,
                                const QString& method, const QVariantList& arguments,
                                int timeoutMilliseconds) const {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, objectPath, interface, method);
    message.setArguments(arguments);
    message.setInteractiveAuthorizationAllowed(true);
    return m_connection.call(message, QDBus::Block, timeoutMilliseconds);
}

std::optional<QString> UDisksClient::version() const {
    if (!m_connection.isConnected()) {
        return std::nullopt;
    }
    const QDBusMessage reply =
        call(kManagerPath, kProperties, QStringLiteral("Get"),
             {QStringLiteral("org.freedesktop.UDisks2.Manager"), QStringLiteral("Version")},
             kQueryMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
}

std::optional<std::vector<UDisksBlockFacts>> UDisksClient::blocks(std::string* error) const {
    if (!m_connection.isConnected()) {
        setError(error, "no connection to the system bus");
        return std::nullopt;
    }
    const QDBusMessage reply = call(kRootPath, kObjectManager, QStringLiteral("GetManagedObjects"),
                                    {}, kQueryMilliseconds);
    if (replyFailed(reply, error)) {
        return std::nullopt;
    }
    const ObjectMap objects = objectsOf(reply);
    std::vector<UDisksBlockFacts> blocks;
    for (auto object = objects.constBegin(); object != objects.constEnd(); ++object) {
        UDisksBlockFacts facts;
        if (!readBlockFacts(object.key().path(), object.value(), &facts)) {
            continue;
        }
        const auto drive = objects.constFind(QDBusObjectPath(facts.drivePath));
        if (facts.drivePath != QStringLiteral("/") && drive != objects.constEnd()) {
            facts.hasDrive = readDriveFacts(drive.value(), &facts.drive);
        }
        blocks.push_back(std::move(facts));
    }
    return blocks;
}

std::optional<UDisksBlockFacts> UDisksClient::blockOf(const std::string& device,
                                                      std::string* error) const {
    const auto all = blocks(error);
    if (!all) {
        return std::nullopt;
    }
    std::error_code ignored;
    const std::filesystem::path canonical = std::filesystem::canonical(device, ignored);
    for (const UDisksBlockFacts& block : *all) {
        if (isDeviceOrLink(block, device) ||
            (!canonical.empty() && isDeviceOrLink(block, canonical.string()))) {
            return block;
        }
    }
    setError(error, "UDisks2 does not know \"" + device + "\"");
    return std::nullopt;
}

int UDisksClient::openDevice(const QString& objectPath, bool forWriting, std::string* error) const {
    QVariantMap options = interactiveOptions();
    if (forWriting) {
        // The exclusive open is the lock: no file system or other program holds the device.
        options.insert(QStringLiteral("flags"), static_cast<int>(O_EXCL));
    }
    const QDBusMessage reply =
        call(objectPath, kBlock, QStringLiteral("OpenDevice"),
             {forWriting ? QStringLiteral("rw") : QStringLiteral("r"), options},
             kAuthorisedCallMilliseconds);
    if (replyFailed(reply, error)) {
        return -1;
    }
    const auto descriptor = reply.arguments().value(0).value<QDBusUnixFileDescriptor>();
    if (!descriptor.isValid()) {
        setError(error, "UDisks2 answered without a descriptor");
        return -1;
    }
    // The message's descriptor closes with it: the caller gets a copy of its own.
    const int fd = ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, "the descriptor UDisks2 handed over could not be kept");
    }
    return fd;
}

std::optional<std::string> UDisksClient::mount(const QString& objectPath,
                                               std::string* error) const {
    const QDBusMessage reply = call(objectPath, kFilesystem, QStringLiteral("Mount"),
                                    {interactiveOptions()}, kAuthorisedCallMilliseconds);
    if (replyFailed(reply, error)) {
        return std::nullopt;
    }
    return reply.arguments().value(0).toString().toStdString();
}

bool UDisksClient::unmount(const QString& objectPath, std::string* error) const {
    const QDBusMessage reply = call(objectPath, kFilesystem, QStringLiteral("Unmount"),
                                    {interactiveOptions()}, kAuthorisedCallMilliseconds);
    return !replyFailed(reply, error);
}

bool UDisksClient::setPartitionType(const QString& objectPath, const QString& type,
                                    std::string* error) const {
    const QDBusMessage reply = call(objectPath, kPartition, QStringLiteral("SetType"),
                                    {type, interactiveOptions()}, kAuthorisedCallMilliseconds);
    return !replyFailed(reply, error);
}

} // namespace tachy::udisks
