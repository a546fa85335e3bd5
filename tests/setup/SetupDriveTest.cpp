// The drive selection the settings program shows without "--card": the removable cards only,
// and the chosen card's root handed to the main dialog.

#include "tests/setup/SetupProgramFixture.h"

#include "setup/CSetupDriveDlg.h"
#include "viewer/appdlg/RemovableDriveList.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace tachy::test {
namespace {

namespace fs = std::filesystem;

class SetupDriveTest : public SetupProgramFixture {
protected:
    // A fixed disk (sda1 at /) and a removable card (sdb1) mounted at the card folder.
    tachy::VolumeEnvironment Environment() {
        AddDevice("devices/pci0/block/sda", "8:0", "0");
        AddDevice("devices/pci0/block/sda/sda1", "8:1", "");
        AddDevice("devices/pci0/sdhci/block/sdb", "8:16", "1");
        AddDevice("devices/pci0/sdhci/block/sdb/sdb1", "8:17", "");
        tachy::VolumeEnvironment environment;
        environment.sysfsRoot = m_root.path() / "sys";
        environment.deviceRoot = m_root.path() / "dev";
        fs::create_directories(environment.deviceRoot);
        environment.mountInfo =
            m_root.write("mountinfo", "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                      "40 22 8:17 / " +
                                          m_card.string() + " rw,nosuid - vfat /dev/sdb1 rw\n");
        return environment;
    }

    void AddDevice(const std::string& folder, const std::string& numbers,
                   const std::string& removable) {
        const fs::path sys = m_root.path() / "sys";
        fs::create_directories(sys / folder);
        m_root.write("sys/" + folder + "/size", "1000000\n");
        if (!removable.empty()) {
            m_root.write("sys/" + folder + "/removable", removable + "\n");
        } else {
            m_root.write("sys/" + folder + "/partition", "1\n");
            m_root.write("sys/" + folder + "/start", "2048\n");
        }
        fs::create_directories(sys / "dev" / "block");
        fs::create_symlink("../../" + folder, sys / "dev" / "block" / numbers);
    }
};

TEST_F(SetupDriveTest, TheChosenCardIsTheOneTheSettingsAreLoadedFrom) {
    WriteCardFile(ValidFile());
    StartApp();
    CSetupDriveDlg choice(m_app->Language(), Environment());
    EXPECT_EQ(choice.windowTitle(), QStringLiteral("Select memory card"));
    QTreeWidget& list = *choice.List();
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QString::fromStdString(m_card.string()));
    list.setCurrentItem(list.topLevelItem(0));
    QTest::mouseClick(choice.OkButton(), Qt::LeftButton);
    EXPECT_EQ(choice.result(), QDialog::Accepted);
    ASSERT_EQ(choice.Drive(), QString::fromStdString(m_card.string()));

    m_dialog = std::make_unique<CTachySetupDlg>(*m_app, choice.Drive().toStdString());
    MessageAnswerer ok(true);
    ASSERT_TRUE(m_dialog->Setup());
    EXPECT_TRUE(ok.Keys().isEmpty());
    EXPECT_EQ(m_dialog->SettingsFile(), SettingsFile());
}

TEST_F(SetupDriveTest, OkWithoutAChoiceLeavesNoDriveAndTheProgramCloses) {
    StartApp();
    CSetupDriveDlg choice(m_app->Language(), Environment());
    QTest::mouseClick(choice.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(choice.Drive().isEmpty());
    CTachySetupDlg dialog(*m_app, choice.Drive().toStdString());
    MessageAnswerer ok(true);
    EXPECT_FALSE(dialog.Setup());
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 001")});
}

} // namespace
} // namespace tachy::test
