// The settings file's places on a card and the recorder version the About boxes read from it.

#include "viewer/appdlg/RecorderVersion.h"
#include "tests/support/TempFolder.h"
#include "viewer/appdlg/CardSettingsFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

using tachy::test::TempFolder;
using viewer::appdlg::CardSettingsFile;
using viewer::appdlg::ReadRecorderVersion;
using viewer::appdlg::RecorderVersionSource;

namespace {

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A binary settings file whose first 32 bytes are the version, padded with zeros.
std::string SettingsBytes(const std::string& version) {
    std::string bytes(1313, '\x55');
    std::fill(bytes.begin(), bytes.begin() + 32, '\0');
    bytes.replace(0, version.size(), version);
    return bytes;
}

} // namespace

TEST(CardSettingsFile, PlainAndHiddenFormsForEveryWayOfWritingTheFolder) {
    for (const std::string folder : {"SETUP/", "SETUP", "\\SETUP\\", "/SETUP"}) {
        const CardSettingsFile file = CardSettingsFile::At("/media/card", folder, "setting.dat");
        EXPECT_EQ(file.plain, std::filesystem::path("/media/card/SETUP/setting.dat")) << folder;
        EXPECT_EQ(file.hidden, std::filesystem::path("/media/card/.SETUP/.setting.dat")) << folder;
    }
    const CardSettingsFile root = CardSettingsFile::At("/media/card", "", "config.dat");
    EXPECT_EQ(root.plain, std::filesystem::path("/media/card/config.dat"));
    EXPECT_EQ(root.hidden, std::filesystem::path("/media/card/.config.dat"));
}

TEST(CardSettingsFile, ThePlainFormIsPreferredAndAFolderIsNotAFile) {
    const TempFolder card;
    const CardSettingsFile file = CardSettingsFile::At(card.path(), "SETUP/", "setting.dat");
    EXPECT_TRUE(file.Existing().empty());
    std::filesystem::create_directories(file.plain); // a folder of that name
    Write(file.hidden, "x");
    EXPECT_EQ(file.Existing(), file.hidden);
    std::filesystem::remove(file.plain);
    Write(file.plain, "x");
    EXPECT_EQ(file.Existing(), file.plain);
}

TEST(RecorderVersion, TheFirst32BytesOfTheSettingsFileInTheLanguagesCodePage) {
    const TempFolder card;
    RecorderVersionSource source{card.path(), 1, "SETUP/", "setting.dat", 949};
    EXPECT_EQ(ReadRecorderVersion(source), ""); // no file
    // Only the hidden form: it is found.
    Write(card.path() / ".SETUP" / ".setting.dat", SettingsBytes("\xb9\xf6\xc0\xfc 1.2"));
    EXPECT_EQ(ReadRecorderVersion(source), "버전 1.2");
    // Exactly 32 bytes without a terminating zero: all 32, nothing of what follows.
    Write(card.path() / "SETUP" / "setting.dat", std::string(32, 'V') + SettingsBytes("next"));
    EXPECT_EQ(ReadRecorderVersion(source), std::string(32, 'V'));
    source.codePage = 1252;
    Write(card.path() / "SETUP" / "setting.dat", SettingsBytes("Fw \xe9 2.0"));
    EXPECT_EQ(ReadRecorderVersion(source), "Fw é 2.0");
    source.loadedPath.clear();
    EXPECT_EQ(ReadRecorderVersion(source), ""); // nothing loaded
}

TEST(RecorderVersion, Model401ReadsTheVerLineOfItsTextFile) {
    const TempFolder card;
    RecorderVersionSource source{card.path(), 401, "", "config.txt", 1252};
    Write(card.path() / ".config.txt", "mode=1\r\nver=R401-2.3\r\nver=second\r\n");
    EXPECT_EQ(ReadRecorderVersion(source), "R401-2.3");
    source.setupDir = "CFG/";
    EXPECT_EQ(ReadRecorderVersion(source), ""); // with a folder, the plain place
    Write(card.path() / "CFG" / "config.txt", "ver=\n");
    EXPECT_EQ(ReadRecorderVersion(source), "");
    Write(card.path() / "CFG" / "config.txt", "name=x\nver=9\n");
    EXPECT_EQ(ReadRecorderVersion(source), "9");
}
