// Without UDisks2 (no bus, or a bus on which the service does not run) nothing is installed,
// and volumes, device opening and unmounting stay with the kernel's tables and direct calls.

#include "platform/udisks/UDisksClient.h"
#include "platform/udisks/UDisksServices.h"
#include "platform/volume/DeviceAccess.h"
#include "platform/volume/Volume.h"
#include "platform/volume/VolumeSource.h"
#include "tests/platform/udisks/UDisksTestServices.h"
#include "tests/support/QtTestApplication.h"

#include <gtest/gtest.h>

namespace {

void expectKernelTables() {
    EXPECT_EQ(tachy::installedVolumeSource(), nullptr);
    EXPECT_EQ(tachy::installedDeviceAccess(), nullptr);
    const auto source = tachy::volumeSourceFor(tachy::VolumeEnvironment{});
    EXPECT_NE(dynamic_cast<const tachy::Volume*>(source.get()), nullptr);
    EXPECT_EQ(tachy::deviceAccessFor(tachy::VolumeEnvironment{}), nullptr);
}

TEST(UDisksFallback, NoBusInstallsNothing) {
    tachy::test::testApplication();
    const tachy::test::TempFolder folder;
    const QString name = QStringLiteral("udisks-nobus");
    {
        const QDBusConnection nothing = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=") +
                QString::fromStdString((folder.path() / "no-bus.sock").string()),
            name);
        EXPECT_FALSE(nothing.isConnected());
        EXPECT_FALSE(tachy::udisks::installUDisksServices(nothing));
        const tachy::udisks::UDisksClient client(nothing);
        std::string error;
        EXPECT_FALSE(client.blocks(&error).has_value());
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(client.openDevice(QStringLiteral("/org/freedesktop/UDisks2/block_devices/sda"),
                                    true, &error),
                  -1);
    }
    QDBusConnection::disconnectFromBus(name);
    expectKernelTables();
}

TEST(UDisksFallback, BusWithoutTheServiceInstallsNothing) {
    tachy::test::testApplication();
    std::string why;
    const auto bus = tachy::test::PrivateSystemBus::start(&why);
    if (!bus) {
        GTEST_SKIP() << why;
    }
    const QString name = QStringLiteral("udisks-noservice");
    {
        const QDBusConnection connection = bus->connect(name);
        ASSERT_TRUE(connection.isConnected());
        EXPECT_FALSE(tachy::udisks::installUDisksServices(connection));
    }
    QDBusConnection::disconnectFromBus(name);
    expectKernelTables();
}

// What is offered, on facts as UDisks2 reports them for the common kinds of device.
TEST(UDisksOffer, RemovableDrivesAndUserImagesOnly) {
    tachy::udisks::UDisksBlockFacts card;
    card.hasFileSystem = true;
    card.hintSystem = false;
    card.hasDrive = true;
    card.drive.mediaRemovable = true; // a card in a reader
    EXPECT_TRUE(tachy::udisks::isOfferedCard(card, {}));

    auto stick = card; // a USB stick: the drive itself comes and goes
    stick.drive = {true, false};
    EXPECT_TRUE(tachy::udisks::isOfferedCard(stick, {}));

    auto internal = card; // a fixed disk, even one UDisks2 does not count as the system's
    internal.drive = {false, false};
    EXPECT_FALSE(tachy::udisks::isOfferedCard(internal, {}));
    internal.hintSystem = true;
    EXPECT_FALSE(tachy::udisks::isOfferedCard(internal, {}));

    auto system = card;
    system.hintSystem = true;
    EXPECT_FALSE(tachy::udisks::isOfferedCard(system, {}));
    auto hidden = card;
    hidden.hintIgnore = true;
    EXPECT_FALSE(tachy::udisks::isOfferedCard(hidden, {}));
    auto bare = card; // no file system: nothing to open as a card
    bare.hasFileSystem = false;
    EXPECT_FALSE(tachy::udisks::isOfferedCard(bare, {}));
    auto driveless = card;
    driveless.hasDrive = false;
    EXPECT_FALSE(tachy::udisks::isOfferedCard(driveless, {}));

    tachy::udisks::UDisksBlockFacts loop;
    loop.hasFileSystem = true;
    loop.isLoop = true;
    loop.loopBackingFile = "/home/user/cards/card.img";
    loop.hintSystem = false; // attached by the user through UDisks2
    EXPECT_TRUE(tachy::udisks::isOfferedCard(loop, {}));
    loop.hintSystem = true; // attached by root
    EXPECT_FALSE(tachy::udisks::isOfferedCard(loop, {}));
    EXPECT_TRUE(tachy::udisks::isOfferedCard(loop, "/home/user/cards"));
    EXPECT_TRUE(tachy::udisks::isOfferedCard(loop, "/home/user/cards/"));
    EXPECT_FALSE(tachy::udisks::isOfferedCard(loop, "/home/user/card"));
    EXPECT_FALSE(tachy::udisks::isOfferedCard(loop, "/home/user/cards/card.img/x"));
    loop.loopBackingFile = "/home/user/cards/../secret/system.img";
    EXPECT_FALSE(tachy::udisks::isOfferedCard(loop, "/home/user/cards"));
}

} // namespace
