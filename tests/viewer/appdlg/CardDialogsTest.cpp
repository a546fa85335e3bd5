// The card dialog and the format dialog on a kernel-table tree of our own: exactly the removable
// volumes are listed with their texts, a card taken out empties the selection and disables OK,
// OK hands back the chosen card, and the format button pauses and resumes playback around a
// format that was not confirmed.

#include "skinres/CExLangManager.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempFolder.h"
#include "viewer/appdlg/CDlgFormat.h"
#include "viewer/appdlg/CSelectRemovableDrive.h"
#include "viewer/appdlg/RemovableDriveList.h"

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/statvfs.h>

using namespace viewer::appdlg;

namespace {

namespace fs = std::filesystem;

struct Asked {
    std::string captionKey;
    std::string textKey;
    QString text;
};

// The system disk sda ("/" and "/data"), a card reader's card sdb1, a USB stick sdc1 (hot-plug,
// not removable), a tmpfs and an optical drive's mount.
class CardDialogs : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::testApplication();
        m_language.LoadTextInfo(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
        addDevice("devices/pci0/block/sda", "8:0", "0");
        addDevice("devices/pci0/block/sda/sda1", "8:1", "");
        addDevice("devices/pci0/block/sda/sda2", "8:2", "");
        addDevice("devices/pci0/sdhci/block/sdb", "8:16", "1");
        addDevice("devices/pci0/sdhci/block/sdb/sdb1", "8:17", "");
        addDevice("devices/usb2/block/sdc", "8:32", "0");
        addDevice("devices/usb2/block/sdc/sdc1", "8:33", "");
        m_card = MakeFolder("media/DASHCAM");
        m_stick = MakeFolder("media/STICK");
        m_data = MakeFolder("data");
        m_plain = MakeFolder("plain");
        fs::create_directories(m_root.path() / "dev" / "disk" / "by-label");
        fs::create_symlink("../../sdb1", m_root.path() / "dev" / "disk" / "by-label" / "DASHCAM");
        m_environment.sysfsRoot = m_root.path() / "sys";
        m_environment.deviceRoot = m_root.path() / "dev";
        WriteMounts(true);
        m_options.productId = 1;
        m_options.format.environment = m_environment;
        m_options.format.setupDir = "SETUP/";
        m_options.format.setupFileName = "setting.dat";
        m_options.format.workFolder = m_root.path() / "work";
    }

    fs::path MakeFolder(const std::string& relative) {
        const fs::path folder = m_root.path() / relative;
        fs::create_directories(folder);
        return folder;
    }

    void addDevice(const std::string& folder, const std::string& numbers,
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

    void WriteMounts(bool withCard) {
        std::string table = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                            "23 22 8:2 / " +
                            m_data.string() +
                            " rw - ext4 /dev/sda2 rw\n"
                            "41 22 0:45 / " +
                            m_plain.string() +
                            " rw - tmpfs tmpfs rw\n"
                            "43 22 8:33 / " +
                            m_stick.string() + " rw - vfat /dev/sdc1 rw\n";
        if (withCard) {
            table += "40 22 8:17 / " + m_card.string() + " rw,nosuid - vfat /dev/sdb1 rw\n";
        }
        m_environment.mountInfo = m_root.write("mountinfo", table);
    }

    viewer::dialogs::AskUser Ask(bool answer) {
        return
            [this, answer](const char* captionKey, const char* textKey, const QString& text, bool) {
                m_asked.push_back({captionKey, textKey, text});
                return answer;
            };
    }

    static QString Gigabytes(double bytes) {
        char text[32];
        std::snprintf(text, sizeof text, "%3.1fGB", bytes / 1073741824.0);
        return QString::fromLatin1(text);
    }

    static void SaveArtifact(QWidget& dialog, const char* name) {
        QDir().mkpath(QStringLiteral(TACHY_ARTIFACT_DIR));
        EXPECT_TRUE(
            dialog.grab().save(QStringLiteral(TACHY_ARTIFACT_DIR "/") + QString::fromLatin1(name)));
    }

    tachy::test::TempFolder m_root;
    CExLangManager m_language;
    tachy::VolumeEnvironment m_environment;
    CardDialogOptions m_options;
    fs::path m_card;
    fs::path m_stick;
    fs::path m_data;
    fs::path m_plain;
    std::vector<Asked> m_asked;
};

TEST_F(CardDialogs, TheDriveDialogListsExactlyTheRemovableVolumesWithTheirTexts) {
    CSelectRemovableDrive dialog(m_language, m_options, Ask(true), {}, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), m_language.GetText(QStringLiteral("dlg drive title")));
    RemovableDriveList* list = dialog.List();
    const char* headers[] = {"dlg list column drive", "dlg list column name",
                             "dlg list column space", "dlg list column used",
                             "dlg list column unused"};
    const int widths[] = {60, 90, 65, 65, 65};
    ASSERT_EQ(list->columnCount(), 5);
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(list->headerItem()->text(column),
                  m_language.GetText(QString::fromLatin1(headers[column])));
        EXPECT_EQ(list->columnWidth(column), widths[column]);
    }
    ASSERT_EQ(list->topLevelItemCount(), 2);
    struct statvfs space {};
    ASSERT_EQ(::statvfs(m_card.c_str(), &space), 0);
    const double total = static_cast<double>(space.f_blocks) * space.f_frsize;
    const double free = static_cast<double>(space.f_bavail) * space.f_frsize;
    const QTreeWidgetItem* card = list->topLevelItem(0);
    EXPECT_EQ(card->text(0), QString::fromStdString(m_card.string()));
    EXPECT_EQ(card->text(1), QStringLiteral("DASHCAM"));
    EXPECT_EQ(card->text(2), Gigabytes(total));
    EXPECT_EQ(card->text(3), Gigabytes(total - free));
    EXPECT_EQ(card->text(4), Gigabytes(free));
    EXPECT_EQ(list->topLevelItem(1)->text(0), QString::fromStdString(m_stick.string()));
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("STICK")); // no label: its folder
    EXPECT_EQ(RemovableDriveList::Gigabytes(3ull << 29), QStringLiteral("1.5GB"));
    EXPECT_EQ(RemovableDriveList::Gigabytes(0), QStringLiteral("0.0GB"));

    // The first card is chosen and has the focus; OK hands it back.
    EXPECT_TRUE(card->isSelected());
    EXPECT_EQ(list->currentItem(), card);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    ASSERT_NE(dialog.FormatButton(), nullptr);
    EXPECT_EQ(dialog.FormatButton()->text(),
              m_language.GetText(QStringLiteral("dlg format title")));
    SaveArtifact(dialog, "dialog-drive.png");
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Drive(), QString::fromStdString(m_card.string()));

    // OK with no card chosen hands back nothing, which the main window answers itself.
    CSelectRemovableDrive none(m_language, m_options, Ask(true), {}, nullptr);
    none.List()->clearSelection();
    QTest::mouseClick(none.OkButton(), Qt::LeftButton);
    EXPECT_EQ(none.result(), QDialog::Accepted);
    EXPECT_TRUE(none.Drive().isEmpty());

    m_options.productId = 401;
    CSelectRemovableDrive withoutFormat(m_language, m_options, Ask(true), {}, nullptr);
    EXPECT_EQ(withoutFormat.FormatButton(), nullptr);
}

TEST_F(CardDialogs, TakingTheSelectedCardOutEmptiesTheSelectionAndDisablesOk) {
    // The card dialog with the card alone: the list empties and OK goes grey.
    fs::remove_all(m_stick);
    WriteMounts(true);
    CSelectRemovableDrive drives(m_language, m_options, Ask(true), {}, nullptr);
    ASSERT_EQ(drives.List()->topLevelItemCount(), 1);
    EXPECT_FALSE(drives.List()->CheckForChange()); // nothing changed yet
    WriteMounts(false);
    EXPECT_TRUE(drives.List()->CheckForChange());
    EXPECT_EQ(drives.List()->topLevelItemCount(), 0);
    EXPECT_TRUE(drives.List()->SelectedDrive().isEmpty());
    EXPECT_FALSE(drives.OkButton()->isEnabled());
    WriteMounts(true);
    EXPECT_TRUE(drives.List()->CheckForChange());
    EXPECT_TRUE(drives.OkButton()->isEnabled());
}

TEST_F(CardDialogs, TheFormatDialogEnablesFormatOnlyWhileACardIsChosen) {
    CDlgFormat dialog(m_language, m_options.format, Ask(false), nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), m_language.GetText(QStringLiteral("dlg format title")));
    EXPECT_TRUE(dialog.KeepOption()->isChecked());
    EXPECT_EQ(dialog.KeepOption()->text(),
              m_language.GetText(QStringLiteral("dlg format option0")));
    EXPECT_EQ(dialog.EraseOption()->text(),
              m_language.GetText(QStringLiteral("dlg format option1")));
    EXPECT_EQ(dialog.OkButton()->text(), m_language.GetText(QStringLiteral("dlg format ok")));
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 2);
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    dialog.List()->topLevelItem(0)->setSelected(true);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    SaveArtifact(dialog, "dialog-format.png");

    // Not confirmed: nothing happens and the dialog stays.
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0].textKey, "dlg format message0");
    EXPECT_EQ(m_asked[0].text, m_language.GetText(QStringLiteral("dlg format message0")) +
                                   QStringLiteral("\r\n") +
                                   m_language.GetText(QStringLiteral("dlg format message1")));
    EXPECT_TRUE(dialog.isVisible());

    // The chosen card is taken out: the selection empties, Format goes grey, the stick stays.
    WriteMounts(false);
    EXPECT_TRUE(dialog.List()->CheckForChange());
    ASSERT_EQ(dialog.List()->topLevelItemCount(), 1);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0), QString::fromStdString(m_stick.string()));
    EXPECT_TRUE(dialog.List()->SelectedDrive().isEmpty());
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
}

TEST_F(CardDialogs, AFormatNotConfirmedResumesPlaybackAndTouchesNothing) {
    int paused = 0;
    std::vector<bool> resumed;
    std::vector<QString> formatted;
    CardDialogHooks hooks{[&] {
                              ++paused;
                              return true;
                          },
                          [&](bool wasPaused) { resumed.push_back(wasPaused); },
                          [&](const QString& root) { formatted.push_back(root); }};
    CSelectRemovableDrive dialog(m_language, m_options, Ask(false), hooks, nullptr);
    QTest::mouseClick(dialog.FormatButton(), Qt::LeftButton);
    EXPECT_EQ(paused, 1);
    ASSERT_EQ(resumed.size(), 1u);
    EXPECT_TRUE(resumed[0]);
    EXPECT_TRUE(formatted.empty());
    ASSERT_EQ(m_asked.size(), 1u);
    EXPECT_EQ(m_asked[0].captionKey, "common warning");
    EXPECT_TRUE(m_asked[0].text.startsWith(QStringLiteral("Format the card in ") +
                                           QString::fromStdString(m_card.string())))
        << m_asked[0].text.toStdString();
    EXPECT_FALSE(fs::exists(m_options.format.workFolder));
}

// The running system's disk never reaches a formatter: the platform's reason is shown.
TEST_F(CardDialogs, TheSystemDiskIsRefusedWithThePlatformsReason) {
    CardFormatRequest request;
    request.drive = m_data.string();
    const CardFormatReport report = CardFormatFlow(m_options.format).Run(request);
    EXPECT_EQ(report.result, CardFormatResult::Refused);
    EXPECT_NE(report.error.find("running system"), std::string::npos) << report.error;
    request.drive = m_plain.string();
    EXPECT_EQ(CardFormatFlow(m_options.format).Run(request).result, CardFormatResult::Refused);
    EXPECT_FALSE(fs::exists(m_options.format.workFolder));
}

} // namespace
