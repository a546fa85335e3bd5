#include "platform/udisks/UDisksBlockFacts.h"

#include <QByteArrayList>
#include <QDBusArgument>
#include <QDBusObjectPath>

namespace tachy::udisks {
namespace {

const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kLoop = QStringLiteral("org.freedesktop.UDisks2.Loop");
const QString kPartition = QStringLiteral("org.freedesktop.UDisks2.Partition");
const QString kDrive = QStringLiteral("org.freedesktop.UDisks2.Drive");

// UDisks2 hands paths over as byte strings that end in a NUL.
std::string byteString(const QVariant& value) {
    QByteArray bytes = value.toByteArray();
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0) {
        bytes.truncate(end);
    }
    return bytes.toStdString();
}

std::vector<std::string> byteStrings(const QVariant& value) {
    QByteArrayList list;
    if (value.canConvert<QDBusArgument>()) {
        value.value<QDBusArgument>() >> list;
    } else {
        list = value.value<QByteArrayList>();
    }
    std::vector<std::string> strings;
    for (const QByteArray& bytes : list) {
        strings.push_back(byteString(bytes));
    }
    return strings;
}

QString objectPathOf(const QVariant& value) {
    return value.value<QDBusObjectPath>().path();
}

bool isInside(const std::filesystem::path& file, const std::filesystem::path& folder) {
    if (folder.empty() || file.empty()) {
        return false;
    }
    const std::filesystem::path relative =
        file.lexically_normal().lexically_relative(folder.lexically_normal());
    return !relative.empty() && *relative.begin() != "..";
}

} // namespace

bool readBlockFacts(const QString& objectPath, const InterfaceMap& interfaces,
                    UDisksBlockFacts* facts) {
    const auto block = interfaces.constFind(kBlock);
    if (block == interfaces.constEnd()) {
        return false;
    }
    facts->objectPath = objectPath;
    facts->device = byteString(block->value(QStringLiteral("Device")));
    facts->links = byteStrings(block->value(QStringLiteral("Symlinks")));
    facts->size = block->value(QStringLiteral("Size")).toULongLong();
    facts->label = block->value(QStringLiteral("IdLabel")).toString().toStdString();
    facts->fileSystemType = block->value(QStringLiteral("IdType")).toString().toStdString();
    facts->hintSystem = block->value(QStringLiteral("HintSystem"), true).toBool();
    facts->hintIgnore = block->value(QStringLiteral("HintIgnore")).toBool();
    facts->drivePath = objectPathOf(block->value(QStringLiteral("Drive")));
    const auto filesystem = interfaces.constFind(kFilesystem);
    facts->hasFileSystem = filesystem != interfaces.constEnd();
    if (facts->hasFileSystem) {
        facts->mountPoints = byteStrings(filesystem->value(QStringLiteral("MountPoints")));
    }
    const auto loop = interfaces.constFind(kLoop);
    facts->isLoop = loop != interfaces.constEnd();
    if (facts->isLoop) {
        facts->loopBackingFile = byteString(loop->value(QStringLiteral("BackingFile")));
    }
    const auto partition = interfaces.constFind(kPartition);
    facts->isPartition = partition != interfaces.constEnd();
    if (facts->isPartition) {
        facts->partitionType = partition->value(QStringLiteral("Type")).toString().toStdString();
    }
    return true;
}

bool readDriveFacts(const InterfaceMap& interfaces, UDisksDriveFacts* facts) {
    const auto drive = interfaces.constFind(kDrive);
    if (drive == interfaces.constEnd()) {
        return false;
    }
    facts->removable = drive->value(QStringLiteral("Removable")).toBool();
    facts->mediaRemovable = drive->value(QStringLiteral("MediaRemovable")).toBool();
    return true;
}

bool isOfferedCard(const UDisksBlockFacts& facts, const std::filesystem::path& attachedImages) {
    if (!facts.hasFileSystem || facts.hintIgnore) {
        return false;
    }
    if (facts.isLoop) {
        return !facts.hintSystem || isInside(facts.loopBackingFile, attachedImages);
    }
    return facts.hasDrive && (facts.drive.removable || facts.drive.mediaRemovable) &&
           !facts.hintSystem;
}

} // namespace tachy::udisks
