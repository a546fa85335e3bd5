#pragma once
// What UDisks2 says about one block device, read from the interfaces of its object (Block,
// Filesystem, Loop, Partition) and of its drive (Drive), and which of them are offered as cards.

#include <QMap>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tachy::udisks {

// The interfaces of one object, each with its properties.
using InterfaceMap = QMap<QString, QVariantMap>;

struct UDisksDriveFacts {
    bool removable = false;      // Drive.Removable: the drive itself can be taken away (USB)
    bool mediaRemovable = false; // Drive.MediaRemovable: a card or disc goes in and out
};

struct UDisksBlockFacts {
    QString objectPath;
    std::string device;                    // Block.Device, e.g. "/dev/sdb1"
    std::vector<std::string> links;        // Block.Symlinks
    std::uint64_t size = 0;                // Block.Size
    std::string label;                     // Block.IdLabel
    std::string fileSystemType;            // Block.IdType
    bool hintSystem = true;                // Block.HintSystem
    bool hintIgnore = false;               // Block.HintIgnore
    QString drivePath;                     // Block.Drive; "/" when none
    bool hasFileSystem = false;            // a Filesystem interface
    std::vector<std::string> mountPoints;  // Filesystem.MountPoints
    bool isLoop = false;                   // a Loop interface
    std::filesystem::path loopBackingFile; // Loop.BackingFile
    bool isPartition = false;              // a Partition interface
    std::string partitionType;             // Partition.Type ("0x0c" on an MBR disk)
    UDisksDriveFacts drive;                // filled from the drive's object when there is one
    bool hasDrive = false;
};

// Reads the facts from one object's interfaces; false when it is no block device.
bool readBlockFacts(const QString& objectPath, const InterfaceMap& interfaces,
                    UDisksBlockFacts* facts);
// Reads the drive facts from a drive object's interfaces; false when it is no drive.
bool readDriveFacts(const InterfaceMap& interfaces, UDisksDriveFacts* facts);

// Whether the device is offered as a card: it carries a file system UDisks2 does not hide, and
// either sits on a removable drive or removable media and is no system device, or is a loop
// device a user attached (UDisks2 marks those as no system device). A loop device whose image
// lies in `attachedImages` is offered too: root attaches images by hand with losetup, and
// UDisks2 counts every loop device root set up as a system device. A device that is not
// removable is never offered.
bool isOfferedCard(const UDisksBlockFacts& facts, const std::filesystem::path& attachedImages);

} // namespace tachy::udisks
