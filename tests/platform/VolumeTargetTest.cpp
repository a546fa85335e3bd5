#include "platform/volume/VolumeTarget.h"
#include "platform/volume/BlockDeviceInfo.h"
#include "platform/volume/MountTable.h"
#include "platform/volume/PartitionTable.h"
#include "platform/volume/RawVolume.h"
#include "platform/volume/SystemFormatter.h"
#include "platform/volume/Volume.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(MountTable, ParsesFieldsOptionalTagsAndEscapes) {
    const auto mounts = tachy::parseMountInfo(
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "40 22 8:17 / /media/user/CARD\\040ONE rw,nosuid shared:7 master:2 - vfat /dev/sdb1 rw\n"
        "not a mount line\n"
        "41 22 0:45 /sub /run/user rw - tmpfs tmpfs rw");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[1].major, 8u);
    EXPECT_EQ(mounts[1].minor, 17u);
    EXPECT_EQ(mounts[1].mountPoint, "/media/user/CARD ONE");
    EXPECT_EQ(mounts[1].fileSystemType, "vfat");
    EXPECT_EQ(mounts[1].source, "/dev/sdb1");
    EXPECT_EQ(mounts[2].root, "/sub");
    EXPECT_EQ(tachy::decodeMountField("a\\134b\\04"), "a\\b\\04"); // a cut escape stays
}

std::string mbrWith(std::uint8_t firstType) {
    std::string sector(512, '\0');
    sector[446 + 4] = static_cast<char>(firstType);
    sector[446 + 8] = 0x00;
    sector[446 + 9] = 0x08; // starts at sector 2048
    sector[510] = '\x55';
    sector[511] = '\xAA';
    return sector;
}

TEST(PartitionTable, ReadsAndSetsPrimaryTypesOnly) {
    std::string sector = mbrWith(0x0B);
    auto entry = tachy::readMbrPartition(sector, 1);
    EXPECT_EQ(entry.lookup, tachy::MbrLookup::Found);
    EXPECT_EQ(entry.type, 0x0B);
    EXPECT_EQ(entry.firstSector, 2048u);
    ASSERT_TRUE(tachy::setMbrPartitionType(sector, 1, 0x0C));
    EXPECT_EQ(static_cast<std::uint8_t>(sector[446 + 4]), 0x0C);
    EXPECT_EQ(tachy::readMbrPartition(sector, 5).lookup, tachy::MbrLookup::NotPrimary);
    EXPECT_FALSE(tachy::setMbrPartitionType(sector, 5, 0x0C));
    // A GPT disk's protective record and a sector without signature are no MBR to change.
    std::string gpt = mbrWith(0xEE);
    EXPECT_EQ(tachy::readMbrPartition(gpt, 1).lookup, tachy::MbrLookup::NotMbr);
    EXPECT_FALSE(tachy::setMbrPartitionType(gpt, 1, 0x0C));
    EXPECT_EQ(tachy::readMbrPartition(std::string(512, '\0'), 1).lookup, tachy::MbrLookup::NotMbr);
    EXPECT_EQ(tachy::readMbrPartition("\x55\xAA", 1).lookup, tachy::MbrLookup::NotMbr);
    EXPECT_EQ(tachy::parseSysfsNumber("2048\n"), 2048u);
    EXPECT_FALSE(tachy::parseSysfsNumber("").has_value());
    EXPECT_FALSE(tachy::parseSysfsNumber("12x\n").has_value());
}

// A kernel-table tree of our own: the system disk sda (sda1 "/", sda2 "/data"), a removable card
// sdb with partition sdb1 mounted on a folder, and a tmpfs.
class FakeKernel : public ::testing::Test {
protected:
    void SetUp() override {
        addDevice("devices/pci0/block/sda", "8:0", "0", "");
        addDevice("devices/pci0/block/sda/sda1", "8:1", "", "1\n2048\n");
        addDevice("devices/pci0/block/sda/sda2", "8:2", "", "2\n1050624\n");
        addDevice("devices/usb1/block/sdb", "8:16", "1", "");
        addDevice("devices/usb1/block/sdb/sdb1", "8:17", "", "1\n8192\n");
        addDevice("devices/usb1/block/sr0", "11:0", "1", "");
        m_card = m_root.path() / "media" / "CARD ONE";
        m_data = m_root.path() / "data";
        m_plain = m_root.path() / "plain";
        fs::create_directories(m_card);
        fs::create_directories(m_data);
        fs::create_directories(m_plain);
        const std::string card = escape(m_card.string());
        m_environment.mountInfo =
            m_root.write("mountinfo", "22 1 8:1 / / rw shared:1 - ext4 /dev/sda1 rw\n"
                                      "23 22 8:2 / " +
                                          m_data.string() +
                                          " rw - ext4 /dev/sda2 rw\n"
                                          "40 22 8:17 / " +
                                          card +
                                          " rw,nosuid - vfat /dev/sdb1 rw\n"
                                          "41 22 0:45 / " +
                                          m_plain.string() + " rw - tmpfs tmpfs rw\n");
        m_environment.sysfsRoot = m_root.path() / "sys";
        m_environment.deviceRoot = m_root.path() / "dev";
    }

    static std::string escape(const std::string& path) {
        std::string text;
        for (const char c : path) {
            text += c == ' ' ? std::string("\\040") : std::string(1, c);
        }
        return text;
    }

    // `partition` holds "number\nstart\n" for a partition; `removable` is set for a disk.
    void addDevice(const std::string& folder, const std::string& numbers,
                   const std::string& removable, const std::string& partition) {
        const fs::path sys = m_root.path() / "sys";
        fs::create_directories(sys / folder);
        m_root.write("sys/" + folder + "/size", "1000000\n");
        if (!removable.empty()) {
            m_root.write("sys/" + folder + "/removable", removable + "\n");
        }
        if (!partition.empty()) {
            const auto split = partition.find('\n');
            m_root.write("sys/" + folder + "/partition", partition.substr(0, split + 1));
            m_root.write("sys/" + folder + "/start", partition.substr(split + 1));
        }
        fs::create_directories(sys / "dev" / "block");
        fs::create_symlink("../../" + folder, sys / "dev" / "block" / numbers);
    }

    tachy::test::TempFolder m_root;
    tachy::VolumeEnvironment m_environment;
    fs::path m_card;
    fs::path m_data;
    fs::path m_plain;
};

TEST_F(FakeKernel, SysfsGivesPartitionStartDiskAndRemovableFlag) {
    const auto card = tachy::readBlockDeviceInfo(m_environment.sysfsRoot, 8, 17);
    ASSERT_TRUE(card.has_value());
    EXPECT_EQ(card->name, "sdb1");
    EXPECT_EQ(card->diskName, "sdb");
    EXPECT_EQ(card->partitionNumber, 1);
    EXPECT_EQ(card->startSectors, 8192u);
    EXPECT_TRUE(card->removable);
    const auto disk = tachy::readBlockDeviceInfo(m_environment.sysfsRoot, 8, 0);
    ASSERT_TRUE(disk.has_value());
    EXPECT_FALSE(disk->isPartition());
    EXPECT_FALSE(disk->removable);
    EXPECT_FALSE(tachy::readBlockDeviceInfo(m_environment.sysfsRoot, 9, 9).has_value());
}

TEST_F(FakeKernel, AMountPointLeadsToItsDeviceAndMounts) {
    std::string error;
    const auto target = tachy::resolveVolumeTarget(m_card.string(), m_environment, &error);
    ASSERT_TRUE(target.has_value()) << error;
    EXPECT_FALSE(target->imageFile);
    EXPECT_EQ(target->path, m_environment.deviceRoot / "block" / "8:17");
    ASSERT_TRUE(target->device.has_value());
    EXPECT_EQ(target->device->diskName, "sdb");
    ASSERT_EQ(target->mounts.size(), 1u);
    EXPECT_EQ(target->mounts[0].mountPoint, m_card.string());
    EXPECT_FALSE(target->holdsSystem());
}

TEST_F(FakeKernel, TheSystemDiskIsRefusedWithAClearMessage) {
    std::string error;
    const auto target = tachy::resolveVolumeTarget(m_data.string(), m_environment, &error);
    ASSERT_TRUE(target.has_value()) << error;
    EXPECT_TRUE(target->holdsSystem()); // sda2 shares its disk with "/"
    EXPECT_EQ(target->systemMountPoint, "/");
    tachy::RawVolumeOptions options;
    options.environment = m_environment;
    EXPECT_EQ(tachy::RawVolume::open(m_data.string(), options, &error), nullptr);
    EXPECT_NE(error.find("running system"), std::string::npos) << error;
    // The system formatter is never started on it either (the program would fail the test).
    tachy::SystemFormatter formatter("/nonexistent/mkfs.fat");
    formatter.setEnvironment(m_environment);
    error.clear();
    EXPECT_FALSE(formatter.format({m_data.string()}, &error));
    EXPECT_NE(error.find("running system"), std::string::npos) << error;
}

TEST_F(FakeKernel, FoldersThatAreNoLocalVolumeAreRefused) {
    std::string error;
    EXPECT_FALSE(tachy::resolveVolumeTarget(m_plain.string(), m_environment, &error));
    EXPECT_NE(error.find("not on a local block device"), std::string::npos) << error;
    const fs::path inner = m_root.path() / "media";
    EXPECT_FALSE(tachy::resolveVolumeTarget(inner.string(), m_environment, &error));
    EXPECT_NE(error.find("not a mounted volume"), std::string::npos) << error;
    EXPECT_FALSE(tachy::resolveVolumeTarget("", m_environment, &error));
}

TEST_F(FakeKernel, ListsExactlyTheMountedRemovableVolumes) {
    // A second mount of the card and a mounted stick of the same kind (hot-plug, not removable).
    addDevice("devices/usb2/block/sdc", "8:32", "0", "");
    const fs::path stick = m_root.path() / "media" / "STICK";
    fs::create_directories(stick);
    std::string table = tachy::test::readAll(m_environment.mountInfo);
    table += "42 22 8:17 / " + m_plain.string() + " rw - vfat /dev/sdb1 rw\n";
    table += "43 22 8:32 / " + stick.string() + " rw - vfat /dev/sdc rw\n";
    m_root.write("mountinfo", table);
    fs::create_directories(m_environment.deviceRoot / "disk" / "by-label");
    fs::create_symlink("../../sdb1",
                       m_environment.deviceRoot / "disk" / "by-label" / "CARD\\x20ONE");

    const auto volumes = tachy::Volume(m_environment).removableVolumes();
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[0].mountPoint, m_card.string());
    EXPECT_EQ(volumes[0].label, "CARD ONE");
    EXPECT_EQ(volumes[0].device, (m_environment.deviceRoot / "sdb1").string());
    EXPECT_GT(volumes[0].totalBytes, 0u);
    EXPECT_LE(volumes[0].freeBytes, volumes[0].totalBytes);
    EXPECT_EQ(volumes[1].mountPoint, stick.string());
    EXPECT_EQ(volumes[1].label, "STICK"); // no label link: the mount point's name
    // A table file of our own never signals a change.
    EXPECT_FALSE(tachy::Volume(m_environment).waitForChange(0));
}

TEST(RawVolume, AnImageIsAVolumeWithItsSectorSizeAndALock) {
    const tachy::test::TempFolder folder;
    const fs::path image = folder.write("card.img", "");
    fs::resize_file(image, 64 * 1024 * 1024);
    std::string error;
    tachy::RawVolumeOptions options;
    auto volume = tachy::RawVolume::open(image.string(), options, &error);
    ASSERT_NE(volume, nullptr) << error;
    EXPECT_TRUE(volume->isImageFile());
    EXPECT_EQ(volume->geometry().bytesPerSector, 512u);
    EXPECT_EQ(volume->geometry().sectorsPerTrack, 63u);
    EXPECT_EQ(volume->geometry().tracksPerCylinder, 255u);
    EXPECT_EQ(volume->partition().partitionLength, 64u * 1024 * 1024);
    EXPECT_EQ(volume->partition().hiddenSectors, 0u);
    EXPECT_EQ(volume->setPartitionType(0x0C), tachy::PartitionTypeResult::NotApplicable);

    // The open volume is locked: a second writer is refused, a reader is not.
    EXPECT_EQ(tachy::RawVolume::open(image.string(), options, &error), nullptr);
    EXPECT_NE(error.find("another program"), std::string::npos) << error;
    tachy::RawVolumeOptions reading;
    reading.forWriting = false;
    reading.imageSectorSize = 4096;
    const auto reader = tachy::RawVolume::open(image.string(), reading, &error);
    ASSERT_NE(reader, nullptr) << error;
    EXPECT_EQ(reader->geometry().bytesPerSector, 4096u);

    ASSERT_TRUE(volume->write(1000, "card", 4));
    EXPECT_EQ(volume->bytesWritten(), 4u);
    char back[4] = {};
    ASSERT_TRUE(reader->read(1000, back, 4));
    EXPECT_EQ(std::string(back, 4), "card");
    EXPECT_FALSE(reader->read(64 * 1024 * 1024 - 2, back, 4)); // past the end
    volume.reset();
    EXPECT_NE(tachy::RawVolume::open(image.string(), options, &error), nullptr) << error;

    reading.imageSectorSize = 1000;
    EXPECT_EQ(tachy::RawVolume::open(image.string(), reading, &error), nullptr);
    EXPECT_NE(error.find("sector size"), std::string::npos);
}

} // namespace
