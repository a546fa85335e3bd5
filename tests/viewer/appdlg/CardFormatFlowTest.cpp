// The format flow on FAT32 images: the recorder's settings file comes back byte for byte in the
// form it had, judged by fsck.fat and mtools; a card without it gets nothing; failures are told
// by size; a failed write-back leaves the copy in the work folder and names it; the running
// system's disk is refused before anything is read or written.

#include "viewer/appdlg/CardFormatFlow.h"
#include "skinres/CExLangManager.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TempFolder.h"
#include "tests/util/Fat32ImageFixture.h"
#include "viewer/appdlg/FormatReportText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sys/stat.h>

using namespace viewer::appdlg;
using tachy::test::quoted;
using tachy::test::runTool;

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kGiB = 1024 * kMiB;

// A recorder settings file: 1,313 bytes of every value, zeros and 0xFF included.
std::string SettingsBytes() {
    std::string bytes(1313, '\0');
    std::mt19937 random(1313);
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xFF);
    }
    bytes[0] = '\0';
    bytes[1312] = '\xFF';
    return bytes;
}

std::vector<fs::path> FilesUnder(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    return files;
}

class CardFormatFlowTest : public testing::Test {
protected:
    void SetUp() override {
        tachy::test::testApplication();
        m_language.LoadTextInfo(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
        m_setup.setupDir = "SETUP/";
        m_setup.setupFileName = "setting.dat";
        m_setup.workFolder = m_folder.path() / "work";
        m_settings = SettingsBytes();
    }

    // A FAT32 card image labelled "DASHCAM" with a recording and, in `form` ("plain", "hidden"
    // or none), the settings file.
    fs::path MakeCard(std::uint64_t bytes, const std::string& form) {
        const fs::path image = tachy::test::makeSparseImage(m_folder, "card.img", bytes);
        EXPECT_TRUE(runTool("mkfs.fat -F 32 -s 8 -n DASHCAM " + quoted(image)).ok);
        const fs::path recording = m_folder.write("rec.avi", std::string(70000, 'r'));
        EXPECT_TRUE(runTool("mmd -i " + quoted(image) + " ::/NORMAL").ok);
        EXPECT_TRUE(
            runTool("mcopy -i " + quoted(image) + " " + quoted(recording) + " ::/NORMAL/REC.AVI")
                .ok);
        const fs::path settings = m_folder.write("setting.dat", m_settings);
        if (form == "plain") {
            EXPECT_TRUE(runTool("mmd -i " + quoted(image) + " ::/SETUP").ok);
            EXPECT_TRUE(runTool("mcopy -i " + quoted(image) + " " + quoted(settings) +
                                " ::/SETUP/setting.dat")
                            .ok);
        } else if (form == "hidden") {
            EXPECT_TRUE(runTool("mmd -i " + quoted(image) + " ::/.SETUP").ok);
            EXPECT_TRUE(runTool("mcopy -i " + quoted(image) + " " + quoted(settings) +
                                " ::/.SETUP/.setting.dat")
                            .ok);
        }
        return image;
    }

    std::string ReadFromCard(const fs::path& image, const std::string& path) {
        const fs::path out = m_folder.path() / "read-back";
        fs::remove(out);
        if (!runTool("mcopy -n -i " + quoted(image) + " ::/" + path + " " + quoted(out)).ok) {
            return "(absent)";
        }
        return tachy::test::readAll(out);
    }

    tachy::test::TempFolder m_folder;
    CExLangManager m_language;
    CardFormatSetup m_setup;
    std::string m_settings;
};

struct KeepCase {
    int formatType;
    const char* form;
};

class KeepsTheSettingsFile : public CardFormatFlowTest,
                             public testing::WithParamInterface<KeepCase> {};

TEST_P(KeepsTheSettingsFile, ByteForByteInItsFormAndTheCardPassesFsck) {
    const KeepCase param = GetParam();
    const fs::path image = MakeCard(300 * kMiB, param.form);
    CardFormatFlow flow(m_setup);
    const CardFacts facts = flow.ReadFacts(image.string());
    EXPECT_EQ(facts.totalBytes, 300 * kMiB);
    EXPECT_EQ(facts.sectorsPerCluster, 8u);
    EXPECT_EQ(facts.label, "DASHCAM");

    CardFormatRequest request;
    request.drive = image.string();
    request.formatType = param.formatType;
    request.clusterBytes = 8 * 512;
    request.sectorsPerCluster = 8;
    const CardFormatReport report = flow.Run(request);
    ASSERT_EQ(report.result, CardFormatResult::Formatted) << report.error;
    EXPECT_TRUE(report.settingsFileFound);
    EXPECT_TRUE(report.keptCopy.empty());

    const auto fsck = runTool("fsck.fat -n -v " + quoted(image));
    EXPECT_TRUE(fsck.ok) << fsck.output;
    const bool hidden = std::string(param.form) == "hidden";
    const std::string path = hidden ? ".SETUP/.setting.dat" : "SETUP/setting.dat";
    EXPECT_EQ(ReadFromCard(image, path), m_settings);
    EXPECT_EQ(ReadFromCard(image, hidden ? "SETUP/setting.dat" : ".SETUP/.setting.dat"),
              "(absent)");
    EXPECT_EQ(ReadFromCard(image, "NORMAL/REC.AVI"), "(absent)"); // the recordings are gone
    if (hidden) {
        const auto attributes = runTool("mattrib -i " + quoted(image) + " ::/.SETUP/.setting.dat");
        EXPECT_NE(attributes.output.find("H"), std::string::npos) << attributes.output;
    }
    // The old label was given to the new file system, and the kept copy is gone again.
    EXPECT_NE(runTool("fatlabel " + quoted(image)).output.find("DASHCAM"), std::string::npos);
    EXPECT_TRUE(FilesUnder(m_setup.workFolder).empty());

    const FormatMessage message = FormatReportText::For(m_language, report, true);
    EXPECT_STREQ(message.textKey, "dlg format message2");
}

INSTANTIATE_TEST_SUITE_P(BothFormatTypesBothForms, KeepsTheSettingsFile,
                         testing::Values(KeepCase{0, "plain"}, KeepCase{0, "hidden"},
                                         KeepCase{1, "plain"}, KeepCase{1, "hidden"}));

TEST_F(CardFormatFlowTest, ACardWithoutTheSettingsFileIsFormattedAndNothingIsWrittenBack) {
    const fs::path image = MakeCard(300 * kMiB, "none");
    CardFormatRequest request;
    request.drive = image.string();
    request.clusterBytes = 4096;
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    ASSERT_EQ(report.result, CardFormatResult::Formatted) << report.error;
    EXPECT_FALSE(report.settingsFileFound);
    EXPECT_TRUE(runTool("fsck.fat -n " + quoted(image)).ok);
    const auto listing = runTool("mdir -a -i " + quoted(image) + " ::/");
    EXPECT_TRUE(listing.ok) << listing.output;
    EXPECT_EQ(listing.output.find("SETUP"), std::string::npos) << listing.output;
    EXPECT_EQ(listing.output.find("NORMAL"), std::string::npos) << listing.output;
    EXPECT_TRUE(FilesUnder(m_setup.workFolder).empty());
}

TEST_F(CardFormatFlowTest, AnUnkeptSettingsFileIsGoneAfterTheFormat) {
    const fs::path image = MakeCard(300 * kMiB, "plain");
    CardFormatRequest request;
    request.drive = image.string();
    request.keepSettingsFile = false;
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    ASSERT_EQ(report.result, CardFormatResult::Formatted) << report.error;
    EXPECT_EQ(ReadFromCard(image, "SETUP/setting.dat"), "(absent)");
}

// The formatter fails without touching the card: the size decides between "could not be
// formatted" and "too large for this way", and the card keeps its file, so no copy is left.
TEST_F(CardFormatFlowTest, AFailedFormatIsToldBySize) {
    m_setup.formatter = tachy::SystemFormatter("/bin/false");
    struct SizeCase {
        std::uint64_t bytes;
        const char* textKey;
    };
    for (const SizeCase& size :
         {SizeCase{32 * kGiB, "dlg format message3"}, SizeCase{33 * kGiB, "dlg format message6"}}) {
        const fs::path image = MakeCard(size.bytes, "plain");
        CardFormatRequest request;
        request.drive = image.string();
        request.clusterBytes = 32768;
        const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
        EXPECT_EQ(report.result,
                  size.bytes > 32 * kGiB ? CardFormatResult::TooLarge : CardFormatResult::Failed);
        EXPECT_FALSE(report.error.empty());
        EXPECT_TRUE(report.keptCopy.empty());
        EXPECT_TRUE(FilesUnder(m_setup.workFolder).empty());
        const FormatMessage message = FormatReportText::For(m_language, report, true);
        EXPECT_STREQ(message.textKey, size.textKey);
        EXPECT_TRUE(message.text.startsWith(m_language.GetText(QString::fromLatin1(size.textKey))));
        // The format dialog of the About box has no size message: a failure is a failure.
        EXPECT_STREQ(FormatReportText::For(m_language, report, false).textKey,
                     "dlg format message3");
        EXPECT_EQ(ReadFromCard(image, "SETUP/setting.dat"), m_settings);
        fs::remove(image);
    }
}

// A formatter that reports success but leaves no file system behind: the settings file cannot
// go back, so its copy stays in the work folder and the message says where.
TEST_F(CardFormatFlowTest, AFailedWriteBackLeavesTheCopyInTheWorkFolderAndNamesIt) {
    const fs::path script = m_folder.write(
        "broken-mkfs",
        "#!/bin/sh\nfor last; do :; done\n"
        "dd if=/dev/zero of=\"$last\" bs=4096 count=1024 conv=notrunc 2>/dev/null\n");
    fs::permissions(script, fs::perms::owner_all);
    m_setup.formatter = tachy::SystemFormatter(script);
    const fs::path image = MakeCard(300 * kMiB, "hidden");
    CardFormatRequest request;
    request.drive = image.string();
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    ASSERT_EQ(report.result, CardFormatResult::WriteBackFailed);
    EXPECT_FALSE(report.error.empty());
    ASSERT_FALSE(report.keptCopy.empty());
    EXPECT_EQ(report.keptCopy.parent_path().parent_path(), m_setup.workFolder);
    EXPECT_EQ(report.keptCopy.filename(), "setting.dat");
    EXPECT_EQ(tachy::test::readAll(report.keptCopy), m_settings);
    EXPECT_EQ(FilesUnder(m_setup.workFolder).size(), 1u);

    const FormatMessage message = FormatReportText::For(m_language, report, true);
    EXPECT_STREQ(message.captionKey, "common warning");
    EXPECT_STREQ(message.textKey, "dlg format message7");
    EXPECT_TRUE(message.text.contains(QString::fromStdString(report.keptCopy.string())))
        << message.text.toStdString();

    ASSERT_EQ(report.files.size(), 1u);
    EXPECT_EQ(report.files[0].keptCopy, report.keptCopy);
    EXPECT_EQ(report.keptFolder, report.keptCopy.parent_path());
    EXPECT_FALSE(report.files[0].written);

    // A second failing run keeps its own copy beside the first.
    const fs::path again = MakeCard(300 * kMiB, "plain");
    request.drive = again.string();
    const CardFormatReport second = CardFormatFlow(m_setup).Run(request);
    ASSERT_EQ(second.result, CardFormatResult::WriteBackFailed);
    EXPECT_NE(second.keptCopy, report.keptCopy);
    EXPECT_EQ(FilesUnder(m_setup.workFolder).size(), 2u);
}

// The settings program's files: besides the settings file, its clock file and the reset request
// are kept and come back byte for byte; a file the card does not hold is not made up.
TEST_F(CardFormatFlowTest, EveryNamedFileTheCardHoldsComesBackByteForByte) {
    const fs::path image = MakeCard(300 * kMiB, "plain");
    const std::string clock = "2026-12-08 19:41:02";
    EXPECT_TRUE(runTool("mcopy -i " + quoted(image) + " " +
                        quoted(m_folder.write("timeset.txt", clock)) + " ::/SETUP/timeset.txt")
                    .ok);
    EXPECT_TRUE(runTool("mcopy -i " + quoted(image) + " " +
                        quoted(m_folder.write("reset.txt", "")) + " ::/reset.txt")
                    .ok);
    CardFormatRequest request;
    request.drive = image.string();
    request.clusterBytes = 4096;
    request.otherFiles = {{"SETUP/timeset.txt", {}}, {"reset.txt", {}}, {"SETUP/absent.txt", {}}};
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    ASSERT_EQ(report.result, CardFormatResult::Formatted) << report.error;
    ASSERT_EQ(report.files.size(), 4u);
    for (std::size_t index = 0; index < 3; ++index) {
        EXPECT_TRUE(report.files[index].found) << index;
        EXPECT_TRUE(report.files[index].written) << index;
        EXPECT_TRUE(report.files[index].keptCopy.empty()) << index;
    }
    EXPECT_FALSE(report.files[3].found);
    EXPECT_FALSE(report.files[3].written);
    EXPECT_TRUE(runTool("fsck.fat -n " + quoted(image)).ok);
    EXPECT_EQ(ReadFromCard(image, "SETUP/setting.dat"), m_settings);
    EXPECT_EQ(ReadFromCard(image, "SETUP/timeset.txt"), clock);
    EXPECT_EQ(ReadFromCard(image, "reset.txt"), "");
    EXPECT_EQ(ReadFromCard(image, "SETUP/absent.txt"), "(absent)");
    EXPECT_EQ(ReadFromCard(image, "NORMAL/REC.AVI"), "(absent)");
    EXPECT_TRUE(report.keptFolder.empty());
    EXPECT_TRUE(FilesUnder(m_setup.workFolder).empty());
}

// The settings program writes its settings as shown after the format, also onto a card that
// had none, with the label it was given.
TEST_F(CardFormatFlowTest, ASettingsFileGivenForAfterTheFormatIsWrittenInsteadOfTheOneFound) {
    for (const char* form : {"plain", "none"}) {
        const fs::path image = MakeCard(300 * kMiB, form);
        CardFormatRequest request;
        request.drive = image.string();
        request.clusterBytes = 4096;
        request.label = "NEWCARD";
        std::string shown = m_settings;
        std::reverse(shown.begin(), shown.end());
        request.settingsFileAfterFormat = shown;
        const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
        ASSERT_EQ(report.result, CardFormatResult::Formatted) << report.error;
        EXPECT_EQ(report.settingsFileFound, std::string(form) == "plain");
        EXPECT_EQ(ReadFromCard(image, "SETUP/setting.dat"), shown) << form;
        EXPECT_NE(runTool("fatlabel " + quoted(image)).output.find("NEWCARD"), std::string::npos);
        EXPECT_TRUE(report.keptFolder.empty());
        fs::remove(image);
    }
}

// With several files kept, every file that did not come back leaves its copy, named by its own
// name, in the run's folder.
TEST_F(CardFormatFlowTest, AFailedWriteBackLeavesEveryCopyInOneFolder) {
    const fs::path script = m_folder.write(
        "broken-mkfs",
        "#!/bin/sh\nfor last; do :; done\n"
        "dd if=/dev/zero of=\"$last\" bs=4096 count=1024 conv=notrunc 2>/dev/null\n");
    fs::permissions(script, fs::perms::owner_all);
    m_setup.formatter = tachy::SystemFormatter(script);
    const fs::path image = MakeCard(300 * kMiB, "plain");
    EXPECT_TRUE(runTool("mcopy -i " + quoted(image) + " " +
                        quoted(m_folder.write("timeset.txt", "2026-01-02 03:04:05")) +
                        " ::/SETUP/timeset.txt")
                    .ok);
    CardFormatRequest request;
    request.drive = image.string();
    request.otherFiles = {{"SETUP/timeset.txt", {}}, {"reset.txt", {}}};
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    ASSERT_EQ(report.result, CardFormatResult::WriteBackFailed);
    ASSERT_FALSE(report.keptFolder.empty());
    EXPECT_EQ(report.keptFolder.parent_path(), m_setup.workFolder);
    EXPECT_EQ(tachy::test::readAll(report.keptFolder / "setting.dat"), m_settings);
    EXPECT_EQ(tachy::test::readAll(report.keptFolder / "timeset.txt"), "2026-01-02 03:04:05");
    EXPECT_EQ(FilesUnder(m_setup.workFolder).size(), 2u); // no reset.txt was on the card
    EXPECT_EQ(report.keptCopy, report.keptFolder / "setting.dat");
}

// Where the copy cannot be kept, the card is not formatted at all.
TEST_F(CardFormatFlowTest, ACopyThatCannotBeKeptStopsTheFormat) {
    m_setup.workFolder = m_folder.write("not-a-folder", "x") / "work";
    const fs::path image = MakeCard(300 * kMiB, "plain");
    CardFormatRequest request;
    request.drive = image.string();
    const CardFormatReport report = CardFormatFlow(m_setup).Run(request);
    EXPECT_EQ(report.result, CardFormatResult::CopyNotSaved);
    EXPECT_FALSE(report.error.empty());
    EXPECT_EQ(ReadFromCard(image, "SETUP/setting.dat"), m_settings);
    EXPECT_EQ(ReadFromCard(image, "NORMAL/REC.AVI"), std::string(70000, 'r'));
    const FormatMessage message = FormatReportText::For(m_language, report, true);
    EXPECT_STREQ(message.textKey, "dlg format message8");
}

} // namespace
