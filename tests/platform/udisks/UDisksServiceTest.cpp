// UDisks2 against the real service: udisksd on a private system bus, loop devices over image
// files as the cards. What is offered, arrival and removal notices, opening and unmounting for
// a format through the service, and the drive list on the installed source.

#include "platform/udisks/UDisksClient.h"
#include "platform/udisks/UDisksDeviceAccess.h"
#include "platform/udisks/UDisksServices.h"
#include "platform/udisks/UDisksVolumeSource.h"
#include "platform/volume/MountTable.h"
#include "platform/volume/RawVolume.h"
#include "platform/volume/VolumeTarget.h"
#include "skinres/CExLangManager.h"
#include "tests/platform/udisks/UDisksTestServices.h"
#include "tests/support/Command.h"
#include "tests/support/QtTestApplication.h"
#include "util/CFat32Format.h"
#include "viewer/appdlg/RemovableDriveList.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using tachy::udisks::UDisksBlockFacts;
using tachy::udisks::UDisksClient;

// The daemons every test of the suite shares, started once.
struct SharedServices {
    std::string skipReason;
    std::unique_ptr<tachy::test::UdevDaemon> udev;
    std::unique_ptr<tachy::test::PrivateSystemBus> bus;
    std::unique_ptr<tachy::test::UDisksDaemon> udisks;
};

SharedServices* g_services = nullptr;

// The disk that holds "/": what UDisks2 must never offer.
std::string rootDisk() {
    for (const tachy::MountEntry& mount : tachy::readMountInfo("/proc/self/mountinfo")) {
        if (mount.mountPoint == "/") {
            const auto info = tachy::readBlockDeviceInfo("/sys", mount.major, mount.minor);
            return info ? "/dev/" + info->diskName : std::string();
        }
    }
    return {};
}

class UDisksService : public testing::Test {
protected:
    static void SetUpTestSuite() {
        tachy::test::testApplication();
        g_services = new SharedServices();
        g_services->skipReason = tachy::test::udisksTestsUnavailable();
        if (!g_services->skipReason.empty()) {
            return;
        }
        g_services->bus = tachy::test::PrivateSystemBus::start(&g_services->skipReason);
        if (!g_services->bus) {
            return;
        }
        g_services->udev =
            tachy::test::UdevDaemon::ensure(g_services->bus->folder(), &g_services->skipReason);
        if (!g_services->udev) {
            return;
        }
        // A udev daemon started here has not seen the boot: the root disk is announced to it
        // again (udev only reads it) so that UDisks2 lists it, as on a running desktop.
        const std::string disk = rootDisk();
        if (g_services->udev->startedHere() && !disk.empty()) {
            tachy::test::runCommand("udevadm trigger --action=add --settle /sys/class/block/" +
                                    fs::path(disk).filename().string() + " 2>&1");
        }
        g_services->udisks =
            tachy::test::UDisksDaemon::start(*g_services->bus, &g_services->skipReason);
    }

    static void TearDownTestSuite() {
        delete g_services;
        g_services = nullptr;
    }

    void SetUp() override {
        if (!g_services->udisks) {
            GTEST_SKIP() << g_services->skipReason;
        }
        static int connections = 0;
        m_connectionName = QStringLiteral("udisks-test-%1").arg(++connections);
        m_client = std::make_shared<UDisksClient>(g_services->bus->connect(m_connectionName));
    }

    void TearDown() override {
        tachy::udisks::removeUDisksServices();
        m_client.reset();
        QDBusConnection::disconnectFromBus(m_connectionName);
    }

    std::unique_ptr<tachy::test::LoopImage> attach(const std::string& name,
                                                   const std::string& label) {
        std::string why;
        auto loop = tachy::test::LoopImage::attach(m_images.path() / name, label, &why);
        EXPECT_NE(loop, nullptr) << why;
        return loop;
    }

    // The service's facts of the device once it shows it with its file system.
    std::optional<UDisksBlockFacts> waitForBlock(const std::string& device) {
        std::optional<UDisksBlockFacts> found;
        tachy::test::waitUntil([&] {
            found = m_client->blockOf(device, nullptr);
            return found && found->hasFileSystem;
        });
        return found && found->hasFileSystem ? found : std::nullopt;
    }

    std::string mount(const UDisksBlockFacts& block) {
        std::string error;
        const auto mountPoint = m_client->mount(block.objectPath, &error);
        EXPECT_TRUE(mountPoint.has_value()) << error;
        return mountPoint.value_or("");
    }

    tachy::test::TempFolder m_images;
    std::string m_why;
    QString m_connectionName;
    std::shared_ptr<UDisksClient> m_client;
};

// Total and free bytes of a mounted file system as df sees them.
std::pair<std::uint64_t, std::uint64_t> dfSpace(const std::string& mountPoint) {
    std::istringstream text(
        tachy::test::runCommand("df -B1 --output=size,avail '" + mountPoint + "' | tail -n 1"));
    std::uint64_t total = 0;
    std::uint64_t available = 0;
    text >> total >> available;
    return {total, available};
}

TEST_F(UDisksService, OffersOnlyRemovableVolumesAndUserAttachedImages) {
    const auto card = attach("card.img", "TACHYCARD");
    ASSERT_NE(card, nullptr);
    const auto block = waitForBlock(card->device());
    ASSERT_TRUE(block) << "UDisks2 never showed " << card->device() << " with its file system";
    EXPECT_EQ(block->label, "TACHYCARD");
    EXPECT_EQ(block->fileSystemType, "ext4");
    EXPECT_TRUE(block->isLoop);
    EXPECT_EQ(block->loopBackingFile, card->image());
    EXPECT_EQ(block->size, 64u * 1024 * 1024);
    // Root attached it with losetup: UDisks2 counts it as a system device, and only a folder
    // of attached images named by the caller makes it a card.
    EXPECT_TRUE(block->hintSystem);
    EXPECT_FALSE(tachy::udisks::isOfferedCard(*block, {}));
    EXPECT_TRUE(tachy::udisks::isOfferedCard(*block, m_images.path()));
    EXPECT_FALSE(tachy::udisks::isOfferedCard(*block, m_images.path() / "elsewhere"));

    const tachy::udisks::UDisksVolumeSource withImages(m_client, m_images.path());
    EXPECT_TRUE(withImages.removableVolumes().empty()) << "an unmounted card has no free space";
    const std::string mountPoint = mount(*block);
    ASSERT_FALSE(mountPoint.empty());

    const std::vector<tachy::RemovableVolume> volumes = withImages.removableVolumes();
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].device, card->device());
    EXPECT_EQ(volumes[0].mountPoint, mountPoint);
    EXPECT_EQ(volumes[0].label, "TACHYCARD");
    const auto [total, available] = dfSpace(mountPoint);
    EXPECT_EQ(volumes[0].totalBytes, total);
    EXPECT_EQ(volumes[0].freeBytes, available);
    EXPECT_GT(volumes[0].totalBytes, 32u * 1024 * 1024);

    const tachy::udisks::UDisksVolumeSource plain(m_client);
    EXPECT_TRUE(plain.removableVolumes().empty());

    // Every other device the service lists stays out; the root disk is among them and is no
    // removable drive.
    const std::string disk = rootDisk();
    bool sawRootDisk = false;
    const auto all = m_client->blocks(nullptr);
    ASSERT_TRUE(all);
    for (const UDisksBlockFacts& other : *all) {
        if (other.device == card->device()) {
            continue;
        }
        EXPECT_FALSE(tachy::udisks::isOfferedCard(other, m_images.path())) << other.device;
        if (other.device == disk) {
            sawRootDisk = true;
            EXPECT_TRUE(other.hintSystem);
            EXPECT_FALSE(other.hasDrive && (other.drive.removable || other.drive.mediaRemovable));
        }
    }
    // Where the machine forbids opening its own disk (this test machine answers EPERM even to
    // root), udev cannot describe it and UDisks2 does not list it at all; nothing to judge then.
    if (!sawRootDisk) {
        RecordProperty("rootDisk", "UDisks2 does not list " + disk);
    }

    std::string error;
    EXPECT_TRUE(m_client->unmount(block->objectPath, &error)) << error;
    EXPECT_TRUE(withImages.removableVolumes().empty());
}

TEST_F(UDisksService, NoticesArrivalAndRemoval) {
    const tachy::udisks::UDisksVolumeSource source(m_client, m_images.path());
    int notices = 0;
    const int subscription = source.subscribe([&] { ++notices; });
    ASSERT_NE(subscription, 0);

    auto card = attach("arriving.img", "ARRIVING");
    ASSERT_NE(card, nullptr);
    const std::string device = card->device();
    ASSERT_TRUE(waitForBlock(device));
    EXPECT_TRUE(tachy::test::waitUntil([&] { return notices > 0; }));

    notices = 0;
    ASSERT_TRUE(card->detach());
    EXPECT_TRUE(tachy::test::waitUntil([&] { return notices > 0; }));
    // A free loop device stays listed as a block device, but without the card's file system.
    EXPECT_TRUE(tachy::test::waitUntil([&] {
        const auto block = m_client->blockOf(device, nullptr);
        return !block || !block->hasFileSystem;
    }));

    source.unsubscribe(subscription);
    notices = 0;
    const auto second = attach("second.img", "SECOND");
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(waitForBlock(second->device()));
    EXPECT_EQ(notices, 0);
}

// The desktop path of a format: the service unmounts the card and hands over an exclusive
// descriptor, on which CFat32Format writes a file system fsck.fat accepts.
TEST_F(UDisksService, FormatsThroughTheServicesDescriptor) {
    const auto card = attach("format.img", "FORMATME");
    ASSERT_NE(card, nullptr);
    const auto block = waitForBlock(card->device());
    ASSERT_TRUE(block);
    const std::string mountPoint = mount(*block);
    ASSERT_FALSE(mountPoint.empty());

    auto access = std::make_shared<tachy::udisks::UDisksDeviceAccess>(m_client);
    tachy::RawVolumeOptions options;
    options.deviceAccess = access;
    {
        std::string error;
        const auto volume = tachy::RawVolume::open(card->device(), options, &error);
        ASSERT_NE(volume, nullptr) << error;
        const auto after = m_client->blockOf(card->device(), nullptr);
        ASSERT_TRUE(after);
        EXPECT_TRUE(after->mountPoints.empty()) << "the service did not unmount the card";
        EXPECT_EQ(volume->partition().partitionLength, 64u * 1024 * 1024);
        EXPECT_EQ(volume->geometry().bytesPerSector, 512u);
        // The open is exclusive: a second writer, through the service or not, is refused.
        std::string second;
        EXPECT_EQ(access->openDevice(card->device(), true, &second), -1);
        EXPECT_NE(second.find("busy"), std::string::npos) << second;
        EXPECT_EQ(tachy::RawVolume::open(card->device(), options, &second), nullptr);
    }

    CFat32Format formatter;
    formatter.SetVolumeOptions(options);
    formatter.SetVolumeLabel("TACHY");
    ASSERT_NE(formatter.Format(0, card->device()), 0) << formatter.GetLastError();
    bool clean = false;
    const std::string report =
        tachy::test::runCommand("fsck.fat -n -v '" + card->image().string() + "' 2>&1", &clean);
    EXPECT_TRUE(clean) << report;
    // udev describes the device again (as its watch on a closed writer does on a desktop) and
    // the service reports the new file system.
    tachy::test::runCommand("udevadm trigger --action=change --settle " + card->device() + " 2>&1");
    EXPECT_TRUE(tachy::test::waitUntil([&] {
        const auto now = m_client->blockOf(card->device(), nullptr);
        return now && now->fileSystemType == "vfat";
    }));
}

// A card with a partition table: the partition's type becomes 0x0C (FAT32 with LBA) through
// the service, as it does for a user who may not write the whole disk.
TEST_F(UDisksService, SetsThePartitionTypeThroughTheService) {
    const auto card =
        tachy::test::LoopImage::attachPartitioned(m_images.path() / "mbr.img", &m_why);
    ASSERT_NE(card, nullptr) << m_why;
    std::optional<UDisksBlockFacts> partition;
    ASSERT_TRUE(tachy::test::waitUntil([&] {
        partition = m_client->blockOf(card->partition(), nullptr);
        return partition && partition->isPartition;
    })) << "UDisks2 never showed "
        << card->partition();
    EXPECT_EQ(partition->partitionType, "0x83");

    const tachy::udisks::UDisksDeviceAccess access(m_client);
    std::string error;
    EXPECT_EQ(access.setPartitionType(card->partition(), 0x0C, &error),
              tachy::PartitionTypeResult::Set)
        << error;
    EXPECT_EQ(access.setPartitionType(card->device(), 0x0C, &error),
              tachy::PartitionTypeResult::NotApplicable);
    // The type byte of the first entry of the image's master boot record.
    const std::string image = tachy::test::readAll(card->image());
    ASSERT_GE(image.size(), 512u);
    EXPECT_EQ(static_cast<unsigned char>(image[446 + 4]), 0x0C);
    EXPECT_EQ(static_cast<unsigned char>(image[510]), 0x55);
    EXPECT_TRUE(tachy::test::waitUntil([&] {
        const auto now = m_client->blockOf(card->partition(), nullptr);
        return now && now->partitionType == "0x0c";
    }));

    // The whole format of the partition with the service's access: a clean FAT32 whose hidden
    // sectors are the partition's start.
    tachy::RawVolumeOptions options;
    options.deviceAccess = std::make_shared<tachy::udisks::UDisksDeviceAccess>(m_client);
    CFat32Format formatter;
    formatter.SetVolumeOptions(options);
    ASSERT_NE(formatter.Format(0, card->partition()), 0) << formatter.GetLastError();
    // Judged on a copy of the partition's bytes: the partition's node may go and come while
    // udev re-reads the table the format changed.
    const fs::path copy = m_images.path() / "partition.img";
    tachy::test::runCommand("dd if='" + card->image().string() + "' of='" + copy.string() +
                            "' bs=512 skip=2048 status=none 2>&1");
    bool clean = false;
    const std::string report =
        tachy::test::runCommand("fsck.fat -n -v '" + copy.string() + "' 2>&1", &clean);
    EXPECT_TRUE(clean) << report;
    EXPECT_NE(report.find("2048 hidden sectors"), std::string::npos) << report;
}

TEST_F(UDisksService, ReadsThroughTheServiceWithoutUnmounting) {
    const auto card = attach("read.img", "READONLY");
    ASSERT_NE(card, nullptr);
    const auto block = waitForBlock(card->device());
    ASSERT_TRUE(block);
    const std::string mountPoint = mount(*block);
    tachy::RawVolumeOptions options;
    options.deviceAccess = std::make_shared<tachy::udisks::UDisksDeviceAccess>(m_client);
    options.forWriting = false;
    std::string error;
    const auto volume = tachy::RawVolume::open(card->device(), options, &error);
    ASSERT_NE(volume, nullptr) << error;
    // The ext4 superblock's magic, 0xEF53 at byte 1080.
    unsigned char magic[2] = {};
    ASSERT_TRUE(volume->read(1080, magic, sizeof magic));
    EXPECT_EQ(magic[0], 0x53);
    EXPECT_EQ(magic[1], 0xEF);
    const auto after = m_client->blockOf(card->device(), nullptr);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->mountPoints, std::vector<std::string>{mountPoint});
    EXPECT_TRUE(m_client->unmount(block->objectPath, &error)) << error;
}

TEST_F(UDisksService, RefusesTheSystemDiskThroughTheService) {
    const std::string disk = rootDisk();
    if (disk.empty()) {
        GTEST_SKIP() << "\"/\" is not on a block device here";
    }
    tachy::RawVolumeOptions options;
    options.deviceAccess = std::make_shared<tachy::udisks::UDisksDeviceAccess>(m_client);
    std::string error;
    EXPECT_EQ(tachy::RawVolume::open(disk, options, &error), nullptr);
    EXPECT_NE(error.find("running system"), std::string::npos) << error;
    // Still mounted: nothing was unmounted on the way to the refusal.
    bool rootMounted = false;
    for (const tachy::MountEntry& mount : tachy::readMountInfo("/proc/self/mountinfo")) {
        rootMounted = rootMounted || mount.mountPoint == "/";
    }
    EXPECT_TRUE(rootMounted);
}

// With the service installed, the card dialogs' list on the machine's own tables shows what
// UDisks2 offers; a list on a tree of a test's own still reads that tree.
TEST_F(UDisksService, DriveListUsesTheInstalledService) {
    const auto card = attach("listed.img", "LISTED");
    ASSERT_NE(card, nullptr);
    const auto block = waitForBlock(card->device());
    ASSERT_TRUE(block);
    const std::string mountPoint = mount(*block);
    ASSERT_TRUE(tachy::udisks::installUDisksServices(g_services->bus->connect(m_connectionName),
                                                     m_images.path()));
    CExLangManager language;
    viewer::appdlg::RemovableDriveList machine(language, tachy::VolumeEnvironment{}, nullptr);
    machine.Refill();
    ASSERT_EQ(machine.topLevelItemCount(), 1);
    EXPECT_EQ(machine.topLevelItem(0)->text(0).toStdString(), mountPoint);
    EXPECT_EQ(machine.topLevelItem(0)->text(1), QStringLiteral("LISTED"));

    tachy::VolumeEnvironment tree;
    tree.sysfsRoot = m_images.path() / "sys";
    tree.mountInfo = m_images.path() / "mountinfo";
    tree.deviceRoot = m_images.path() / "dev";
    viewer::appdlg::RemovableDriveList own(language, tree, nullptr);
    own.Refill();
    EXPECT_EQ(own.topLevelItemCount(), 0);

    // The card goes: the list hears of it from the service and empties itself.
    std::string error;
    ASSERT_TRUE(m_client->unmount(block->objectPath, &error)) << error;
    EXPECT_TRUE(tachy::test::waitUntil([&] { return machine.topLevelItemCount() == 0; }));
}

} // namespace
