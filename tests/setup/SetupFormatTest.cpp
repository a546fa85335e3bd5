// The format button and the format after a save that needs one, on FAT32 images: the settings
// file, "timeset.txt" and "reset.txt" come back byte for byte (read with mtools), the cluster
// size follows the card's size, a failed format leaves the card's settings in force, and a
// failed write-back leaves the copies in the work folder and tells the user where.
//
// The card's files are read from its folder; the volume formatted for it is an image, which
// the tests cannot mount.

#include "tests/setup/SetupProgramFixture.h"

#include "platform/ipc/NamedEvent.h"
#include "setup/CSetupFormatDlg.h"
#include "setup/ISetupDlg.h"
#include "setupfile/SetupChecksum.h"
#include "tests/util/Fat32ImageFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <iterator>
#include <regex>

namespace tachy::test {
namespace {

namespace fs = std::filesystem;
using tachy::setupfile::SetupBuffer;

constexpr std::uint64_t kGiB = 1024ull * 1024 * 1024;
constexpr const char* kClock = "2026-12-08 07:30:00";

// Answers the format dialog by clicking its real buttons, after typing a label when one is
// given, and records what it showed.
class FormatAnswerer {
public:
    FormatAnswerer(bool ok, QString label) : m_ok(ok), m_label(std::move(label)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(5);
    }

    int shown = 0;
    QString title;
    QString label;
    QString fileSystem;
    QString cluster;
    bool fileSystemFixed = false;

private:
    void Poll() {
        auto* dialog = dynamic_cast<CSetupFormatDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        ++shown;
        title = dialog->windowTitle();
        label = dialog->LabelEdit()->text();
        fileSystem = dialog->FileSystem()->currentText();
        cluster = dialog->Cluster()->currentText();
        fileSystemFixed = !dialog->FileSystem()->isEnabled() && !dialog->Cluster()->isEnabled();
        QDir().mkpath(QStringLiteral(TACHY_ARTIFACT_DIR));
        dialog->grab().save(QStringLiteral(TACHY_ARTIFACT_DIR "/setup-format.png"));
        if (!m_label.isNull()) {
            dialog->LabelEdit()->selectAll();
            QTest::keyClicks(dialog->LabelEdit(), m_label);
        }
        QTest::mouseClick(m_ok ? dialog->OkButton() : dialog->CancelButton(), Qt::LeftButton);
    }

    bool m_ok;
    QString m_label;
    QTimer m_timer;
};

class SetupFormatTest : public SetupProgramFixture {
protected:
    void SetUp() override {
        SetupProgramFixture::SetUp();
        m_access = std::make_unique<tachy::NamedEvent>(CTachySetupDlg::kAccessEventName);
    }

    // Rewrites a key in every block of the program's option file.
    void SetOption(const std::string& pattern, const std::string& line) {
        const fs::path file = m_program / "_option" / "option.ini";
        std::ifstream in(file, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        in.close();
        std::ofstream(file, std::ios::binary)
            << std::regex_replace(text, std::regex(pattern), line);
    }
    void SetFormatCluster(int kilobytes) {
        SetOption("FormatCluster=[0-9]+", "FormatCluster=" + std::to_string(kilobytes));
    }

    // A FAT32 card image labelled "OLDCARD" holding a recording, the settings file and the clock
    // file in `folder`, and the reset request at the root.
    fs::path MakeImage(std::uint64_t bytes, const SetupBuffer& settings,
                       const std::string& folder = "SETUP/") {
        const fs::path image = makeSparseImage(m_root, "card.img", bytes);
        EXPECT_TRUE(runTool("mkfs.fat -F 32 -s 8 -n OLDCARD " + quoted(image)).ok);
        const std::string on = "-i " + quoted(image) + " ";
        EXPECT_TRUE(runTool("mmd " + on + "::/NORMAL").ok);
        if (!folder.empty()) {
            EXPECT_TRUE(runTool("mmd " + on + "::/" + folder.substr(0, folder.size() - 1)).ok);
        }
        EXPECT_TRUE(runTool("mcopy " + on + quoted(m_root.write("rec", std::string(50000, 'r'))) +
                            " ::/NORMAL/REC.AVI")
                        .ok);
        m_settingsOnImage = std::string(settings.begin(), settings.end());
        EXPECT_TRUE(runTool("mcopy " + on + quoted(m_root.write("set", m_settingsOnImage)) +
                            " ::/" + folder + "setting.dat")
                        .ok);
        EXPECT_TRUE(runTool("mcopy " + on + quoted(m_root.write("clock", kClock)) + " ::/" +
                            folder + "timeset.txt")
                        .ok);
        EXPECT_TRUE(
            runTool("mcopy " + on + quoted(m_root.write("reset", "")) + " ::/reset.txt").ok);
        return image;
    }

    // A file of the image as mtools reads it; "(absent)" when it is not there.
    std::string OnImage(const fs::path& image, const std::string& path) const {
        const fs::path out = m_root.path() / "read-back";
        fs::remove(out);
        if (!runTool("mcopy -n -i " + quoted(image) + " ::/" + path + " " + quoted(out)).ok) {
            return "(absent)";
        }
        return readAll(out);
    }

    static std::uint32_t ClusterBytes(const fs::path& image) {
        const std::string boot = readBytes(image, 0, 512);
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(boot[13])) * 512u;
    }

    std::vector<fs::path> WorkFilesUnder() const {
        std::vector<fs::path> files;
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(WorkFolder(), error)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        return files;
    }

    // Takes a signal left from earlier writes, so that the next wait sees only new ones.
    void DrainAccess() {
        while (m_access->wait(std::chrono::milliseconds(0)) ==
               tachy::NamedEvent::WaitResult::Signaled) {
        }
    }
    bool ViewerSignalled() {
        return m_access->wait(std::chrono::milliseconds(0)) ==
               tachy::NamedEvent::WaitResult::Signaled;
    }

    CTachySetupDlg& OpenOn(const fs::path& image, SystemFormatter formatter = SystemFormatter()) {
        CTachySetupDlg& dialog = MakeDialog();
        dialog.SetFormatTarget({image.string(), {}, std::move(formatter)});
        EXPECT_TRUE(dialog.Setup());
        DrainAccess();
        return dialog;
    }

    void Click(const char* name) {
        QTest::mouseClick(m_dialog->findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }

    // Clicks the other choice of byte 160 (second page), which needs a format.
    void ChangeFormatSetting() {
        const int other = m_dialog->Working()[160] == 0 ? 1 : 0;
        QTest::mouseClick(m_dialog->findChild<QRadioButton*>(ISetupDlg::ButtonName(160, other)),
                          Qt::LeftButton);
        ASSERT_EQ(m_dialog->Working()[160], other);
    }

    // A formatter that reports success but leaves no file system behind.
    SystemFormatter BrokenFormatter() {
        const fs::path script = m_root.write(
            "broken-mkfs", "#!/bin/sh\nfor last; do :; done\n"
                           "dd if=/dev/zero of=\"$last\" bs=4096 count=1024 conv=notrunc "
                           "2>/dev/null\n");
        fs::permissions(script, fs::perms::owner_all);
        return SystemFormatter(script);
    }

    std::unique_ptr<tachy::NamedEvent> m_access;
    std::string m_settingsOnImage;
};

struct ButtonCase {
    int select;
    std::uint64_t bytes;
    int formatCluster;          // the option file's, in KiB
    std::uint32_t clusterBytes; // what the card gets
};

class SetupFormatButtonTest : public SetupFormatTest,
                              public testing::WithParamInterface<ButtonCase> {};

// Cards below 6 GiB get 16 KiB clusters whatever the option file says, larger ones its size.
// The settings as shown go on the card with the other files as they were, under the label typed.
TEST_P(SetupFormatButtonTest, FormatsWithTheClusterForTheSizeAndKeepsTheFiles) {
    const ButtonCase param = GetParam();
    Configure(param.select);
    SetFormatCluster(param.formatCluster);
    const SetupBuffer file = ValidFile();
    WriteCardFile(file);
    const fs::path image = MakeImage(param.bytes, file);
    OpenOn(image);
    // An unsaved change: the format writes the settings as shown.
    const int byte = param.select == kSelectFirstPage ? 674 : 163;
    const int other = file[static_cast<std::size_t>(byte)] == 0 ? 1 : 0;
    QTest::mouseClick(m_dialog->findChild<QRadioButton*>(ISetupDlg::ButtonName(byte, other)),
                      Qt::LeftButton);

    MessageAnswerer ok(true);
    FormatAnswerer format(true, QStringLiteral("NEWCARD"));
    Click("common format");
    ASSERT_EQ(format.shown, 1);
    EXPECT_EQ(format.title, m_app->Language().GetText(QStringLiteral("format title")));
    // The first page offers the model name as the label, the second none.
    EXPECT_EQ(format.label,
              param.select == kSelectFirstPage ? QStringLiteral("TACHY-100") : QString());
    EXPECT_EQ(format.fileSystem, QStringLiteral("FAT32"));
    EXPECT_EQ(format.cluster, QString::number(param.clusterBytes / 1024) + QLatin1Char('K'));
    EXPECT_TRUE(format.fileSystemFixed);
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("format message success")});

    const auto fsck = runTool("fsck.fat -n " + quoted(image));
    EXPECT_TRUE(fsck.ok) << fsck.output;
    EXPECT_EQ(ClusterBytes(image), param.clusterBytes);
    EXPECT_NE(runTool("fatlabel " + quoted(image)).output.find("NEWCARD"), std::string::npos);
    SetupBuffer shown = file;
    shown[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(other);
    tachy::setupfile::UpdateChecksum(shown);
    EXPECT_EQ(OnImage(image, "SETUP/setting.dat"), std::string(shown.begin(), shown.end()));
    EXPECT_EQ(OnImage(image, "SETUP/timeset.txt"), kClock);
    EXPECT_EQ(OnImage(image, "reset.txt"), "");
    EXPECT_EQ(OnImage(image, "NORMAL/REC.AVI"), "(absent)");
    EXPECT_TRUE(WorkFilesUnder().empty());
    // The program stays open with the settings the card now holds, and the viewer is told.
    EXPECT_NE(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->Loaded(), shown);
    EXPECT_TRUE(ViewerSignalled());
}

INSTANTIATE_TEST_SUITE_P(BothPagesBothSizes, SetupFormatButtonTest,
                         testing::Values(ButtonCase{kSelectSecondPage, 4 * kGiB, 64, 16384},
                                         ButtonCase{kSelectFirstPage, 4 * kGiB, 32, 16384},
                                         ButtonCase{kSelectSecondPage, 8 * kGiB, 64, 65536},
                                         ButtonCase{kSelectFirstPage, 8 * kGiB, 32, 32768}));

TEST_F(SetupFormatTest, TheFormatDialogCancelledFormatsNothing) {
    WriteCardFile(ValidFile());
    const fs::path image = MakeImage(4 * kGiB, ValidFile());
    OpenOn(image);
    MessageAnswerer ok(true);
    FormatAnswerer format(false, QString());
    Click("common format");
    EXPECT_EQ(format.shown, 1);
    EXPECT_TRUE(ok.Keys().isEmpty());
    EXPECT_EQ(OnImage(image, "NORMAL/REC.AVI"), std::string(50000, 'r'));
    EXPECT_FALSE(ViewerSignalled());
}

// Saving a change of byte 160: the settings are written, the card is formatted with 32 KiB
// clusters and its files come back as they were.
TEST_F(SetupFormatTest, SaveThatNeedsAFormatFormatsAndKeepsTheFiles) {
    const SetupBuffer file = ValidFile();
    WriteCardFile(file);
    const fs::path image = MakeImage(4 * kGiB, file);
    OpenOn(image);
    ChangeFormatSetting();
    const SetupBuffer saved = [&] {
        SetupBuffer bytes = m_dialog->Working();
        tachy::setupfile::UpdateChecksum(bytes);
        return bytes;
    }();
    MessageAnswerer ok(true);
    Click("common save");
    EXPECT_EQ(ok.Keys(), (QStringList{QStringLiteral("message 008"),
                                      QStringLiteral("format message success")}));
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ReadCardFile(), std::vector<std::uint8_t>(saved.begin(), saved.end()));
    EXPECT_TRUE(runTool("fsck.fat -n " + quoted(image)).ok);
    EXPECT_EQ(ClusterBytes(image), 32768u);
    EXPECT_NE(runTool("fatlabel " + quoted(image)).output.find("OLDCARD"), std::string::npos);
    EXPECT_EQ(OnImage(image, "SETUP/setting.dat"), m_settingsOnImage);
    EXPECT_EQ(OnImage(image, "SETUP/timeset.txt"), kClock);
    EXPECT_EQ(OnImage(image, "reset.txt"), "");
    EXPECT_EQ(OnImage(image, "NORMAL/REC.AVI"), "(absent)");
    EXPECT_TRUE(WorkFilesUnder().empty());
    EXPECT_TRUE(ViewerSignalled());
}

// With an empty "SetupDir" the settings file and the clock file live at the card root, and come
// back there.
TEST_F(SetupFormatTest, WithAnEmptySetupDirTheFilesComeBackToTheRoot) {
    SetOption("SetupDir=SETUP/", "SetupDir=");
    const SetupBuffer file = ValidFile();
    WriteCardFile(file);
    fs::rename(SettingsFile(), m_card / "setting.dat");
    const fs::path image = MakeImage(4 * kGiB, file, "");
    OpenOn(image);
    ChangeFormatSetting();
    MessageAnswerer ok(true);
    Click("common save");
    EXPECT_EQ(ok.Keys(), (QStringList{QStringLiteral("message 008"),
                                      QStringLiteral("format message success")}));
    EXPECT_TRUE(runTool("fsck.fat -n " + quoted(image)).ok);
    EXPECT_EQ(OnImage(image, "setting.dat"), m_settingsOnImage);
    EXPECT_EQ(OnImage(image, "timeset.txt"), kClock);
    EXPECT_EQ(OnImage(image, "reset.txt"), "");
    EXPECT_EQ(OnImage(image, "SETUP/setting.dat"), "(absent)");
    EXPECT_EQ(OnImage(image, "NORMAL/REC.AVI"), "(absent)");
}

// A format that fails: the card's settings as loaded are written again and the dialog stays.
TEST_F(SetupFormatTest, AFailedFormatAfterSavePutsTheLoadedSettingsBack) {
    const SetupBuffer file = ValidFile();
    WriteCardFile(file);
    const fs::path image = MakeImage(4 * kGiB, file);
    OpenOn(image, SystemFormatter("/bin/false"));
    ChangeFormatSetting();
    MessageAnswerer ok(true);
    Click("common save");
    EXPECT_EQ(ok.Keys(),
              (QStringList{QStringLiteral("message 008"), QStringLiteral("format message fail")}));
    EXPECT_NE(m_dialog->result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog->Working(), file);
    EXPECT_EQ(ReadCardFile(), std::vector<std::uint8_t>(file.begin(), file.end()));
    EXPECT_EQ(OnImage(image, "NORMAL/REC.AVI"), std::string(50000, 'r'));
    EXPECT_TRUE(WorkFilesUnder().empty());
}

// The formatter reports success but the files cannot go back: every copy stays in one folder of
// the work folder, the message names it, and nothing is written over the copies.
TEST_F(SetupFormatTest, AFailedWriteBackLeavesTheCopiesInTheWorkFolder) {
    const SetupBuffer file = ValidFile();
    WriteCardFile(file);
    const fs::path image = MakeImage(4 * kGiB, file);
    OpenOn(image, BrokenFormatter());
    ChangeFormatSetting();
    MessageAnswerer ok(true);
    Click("common save");
    EXPECT_EQ(ok.Keys(),
              (QStringList{QStringLiteral("message 008"), QStringLiteral("format message kept")}));
    EXPECT_NE(m_dialog->result(), QDialog::Accepted);
    const std::vector<fs::path> copies = WorkFilesUnder();
    ASSERT_EQ(copies.size(), 3u);
    const fs::path folder = copies[0].parent_path();
    EXPECT_EQ(folder.parent_path(), WorkFolder());
    EXPECT_EQ(readAll(folder / "setting.dat"), m_settingsOnImage);
    EXPECT_EQ(readAll(folder / "timeset.txt"), kClock);
    EXPECT_EQ(readAll(folder / "reset.txt"), "");
    ASSERT_EQ(ok.Texts().size(), 2);
    EXPECT_TRUE(ok.Texts()[1].contains(QString::fromStdString(folder.string())))
        << ok.Texts()[1].toStdString();
    EXPECT_TRUE(ViewerSignalled()); // the card was formatted
}

// System initialisation whose defaults need a format: the defaults and the reset request are
// written, the card is formatted and its files come back.
TEST_F(SetupFormatTest, SystemInitialisationThatNeedsAFormatFormatsAndKeepsTheFiles) {
    SetupBuffer file = ValidFile();
    file[160] = 0; // the factory default is 1
    file[169] = 0;
    tachy::setupfile::UpdateChecksum(file);
    WriteCardFile(file);
    const fs::path image = MakeImage(4 * kGiB, file);
    OpenOn(image);
    MessageAnswerer ok(true);
    Click("common sys init");
    EXPECT_EQ(ok.Keys(), QStringList{QStringLiteral("message 009")});
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(fs::exists(m_card / "reset.txt"));
    SetupBuffer expected = file;
    Model()->FactoryDefaults(expected, Identity());
    EXPECT_EQ(ReadCardFile(), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_TRUE(runTool("fsck.fat -n " + quoted(image)).ok);
    EXPECT_EQ(OnImage(image, "SETUP/setting.dat"), m_settingsOnImage);
    EXPECT_EQ(OnImage(image, "SETUP/timeset.txt"), kClock);
    EXPECT_EQ(OnImage(image, "reset.txt"), "");
    EXPECT_EQ(OnImage(image, "NORMAL/REC.AVI"), "(absent)");
    EXPECT_TRUE(WorkFilesUnder().empty());
}

} // namespace
} // namespace tachy::test
