#include "platform/profile/ProfileFile.h"

#include "platform/text/TextCodec.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::ProfileFile;
using tachy::test::readAll;
using tachy::test::TempFolder;

namespace {

const char* const kOption = "; installation options\r\n"
                            "[Setting]\r\n"
                            "Select = 2\r\n"
                            "\r\n"
                            "[AppInfo_2]\r\n"
                            "Product ID=5\r\n"
                            "Title = Tachy Player  \r\n"
                            "URL=http://example.org/a=b\r\n"
                            "Quoted=\"  padded  \"\r\n"
                            "Single='x'\r\n"
                            "Lonely\r\n"
                            "Empty=\r\n"
                            "Title=second title is never seen\r\n"
                            "[appinfo_2]\r\n"
                            "Product ID=9\r\n";

} // namespace

TEST(ProfileFile, MatchesSectionsAndKeysWithoutRegardToCase) {
    const ProfileFile profile = ProfileFile::parse(kOption);
    EXPECT_EQ(profile.readInt("setting", "SELECT", -1), 2);
    EXPECT_EQ(profile.readString("APPINFO_2", "title", ""), "Tachy Player");
    // The first section and the first key of a name win.
    EXPECT_EQ(profile.readInt("AppInfo_2", "Product ID", -1), 5);
}

TEST(ProfileFile, SplitsAtFirstEqualsAndStripsOnePairOfQuotes) {
    const ProfileFile profile = ProfileFile::parse(kOption);
    EXPECT_EQ(profile.readString("AppInfo_2", "URL", ""), "http://example.org/a=b");
    EXPECT_EQ(profile.readString("AppInfo_2", "Quoted", ""), "  padded  ");
    EXPECT_EQ(profile.readString("AppInfo_2", "Single", ""), "x");
}

TEST(ProfileFile, MissingKeysGiveTheDefaultWithoutTrailingBlanks) {
    const ProfileFile profile = ProfileFile::parse(kOption);
    EXPECT_EQ(profile.readString("AppInfo_2", "Nothing", "dflt  "), "dflt");
    EXPECT_EQ(profile.readString("NoSection", "Title", "d"), "d");
    EXPECT_EQ(profile.readInt("AppInfo_2", "Nothing", 32), 32);
    // A key that is present with an empty value reads as the default for integers.
    EXPECT_EQ(profile.readInt("AppInfo_2", "Empty", 7), 7);
    EXPECT_EQ(profile.readString("AppInfo_2", "Empty", "d"), "");
}

TEST(ProfileFile, MissingFileReadsAsEmptyAndDefaults) {
    const TempFolder folder;
    const ProfileFile profile = ProfileFile::load(folder.path() / "absent.ini");
    EXPECT_FALSE(profile.exists());
    EXPECT_EQ(profile.readInt("Setting", "Select", -1), -1);
    EXPECT_TRUE(profile.sectionNames().empty());
    EXPECT_TRUE(profile.readSection("Setting").empty());
}

TEST(ProfileFile, ReadsIntegersAsWindowsDoes) {
    EXPECT_EQ(ProfileFile::parseInt("42"), 42);
    EXPECT_EQ(ProfileFile::parseInt("-1"), -1);
    EXPECT_EQ(ProfileFile::parseInt("+7"), 7);
    EXPECT_EQ(ProfileFile::parseInt("12abc"), 12);
    EXPECT_EQ(ProfileFile::parseInt("abc"), 0);
    EXPECT_EQ(ProfileFile::parseInt("0x10"), 0);
    EXPECT_EQ(ProfileFile::parseInt("  15 "), 15);
    EXPECT_EQ(ProfileFile::parseInt("4294967295"), -1);  // wraps to 32 bits
    EXPECT_EQ(ProfileFile::parseInt("4294967296"), 0);
}

TEST(ProfileFile, ReadStringCutsToTheCallersBuffer) {
    const ProfileFile profile = ProfileFile::parse("[A]\nColor=255,255,255,255,and more text\n");
    EXPECT_EQ(profile.readString("A", "Color", "", 8), "255,255");
    EXPECT_EQ(profile.readString("A", "Missing", "0123456789", 4), "012");
    EXPECT_EQ(profile.readString("A", "Color", "", 1), "");
}

TEST(ProfileFile, SectionListsEntriesInOrderSkippingCommentsAndBlankLines) {
    const ProfileFile profile =
        ProfileFile::parse("[AppMain]\n; comment\nkey1=12,Hello, world\n\n  key2 =  x  \nnoequals\n");
    const auto entries = profile.readSection("appmain");
    ASSERT_EQ(entries.size(), 3U);
    EXPECT_EQ(entries[0].key, "key1");
    EXPECT_EQ(entries[0].value, "12,Hello, world");
    EXPECT_EQ(entries[1].key, "key2");
    EXPECT_EQ(entries[1].value, "x");
    EXPECT_EQ(entries[2].key, "noequals");
    EXPECT_EQ(entries[2].value, "");
}

TEST(ProfileFile, SectionBeyondTheBufferIsCutWhereTheBufferEnds) {
    // 2,000 entries of "kNNNN=vvvv" take 11 units each with the NUL: 22,000 > 16,384.
    std::string text = "[Big]\n";
    for (int i = 0; i < 2000; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "k%04d=vvvv\n", i);
        text += line;
    }
    text += "[After]\nkey=1\n";
    const ProfileFile profile = ProfileFile::parse(text);
    const auto entries = profile.readSection("Big");
    // (16,384 - 1) / 11 = 1,489 whole entries; 4 units are left: 3 of the next one and its NUL.
    ASSERT_EQ(entries.size(), 1490U);
    EXPECT_EQ(entries[1488].key, "k1488");
    EXPECT_EQ(entries[1489].key, "k14");
    EXPECT_EQ(entries[1489].value, "");
    std::size_t units = 1;
    for (const auto& entry : entries) {
        units += entry.key.size() + (entry.value.empty() ? 0 : entry.value.size() + 1) + 1;
    }
    EXPECT_LE(units, ProfileFile::kSectionBufferChars);
    // Single keys are not limited by the section buffer.
    EXPECT_EQ(profile.readString("Big", "k1999", ""), "vvvv");
    EXPECT_EQ(profile.readInt("After", "key", 0), 1);
}

TEST(ProfileFile, ListsSectionNamesInFileOrderIncludingRepeats) {
    const ProfileFile profile = ProfileFile::parse(kOption);
    EXPECT_EQ(profile.sectionNames(),
              (std::vector<std::string>{"Setting", "AppInfo_2", "appinfo_2"}));
}

TEST(ProfileFile, ReadsUtf16LittleEndianWithBom) {
    const std::string bytes =
        tachy::text::encode("[Language Info]\r\nLanguageName=한국어\r\nLanguageID=0x0412\r\n",
                            tachy::text::Encoding::Utf16Le);
    ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const ProfileFile profile = ProfileFile::parse(bytes);
    EXPECT_EQ(profile.readString("language info", "LanguageName", ""), "한국어");
    EXPECT_EQ(profile.readString("Language Info", "LanguageID", ""), "0x0412");
}

TEST(ProfileFile, ReadsUtf8WithBomAndMatchesNonAsciiNamesWithoutCase) {
    const ProfileFile profile = ProfileFile::parse("\xEF\xBB\xBF[Ünits]\nÉcran=1\n");
    EXPECT_EQ(profile.readInt("üNITS", "écran", 0), 1);
}

TEST(ProfileFile, HeaderWithoutClosingBracketIsAnEntryOfTheCurrentSection) {
    const ProfileFile profile = ProfileFile::parse("[A]\n[broken=1\nx=2\n");
    EXPECT_EQ(profile.readInt("A", "[broken", 0), 1);
    EXPECT_EQ(profile.readInt("A", "x", 0), 2);
    EXPECT_EQ(profile.sectionNames().size(), 1U);
}

TEST(ProfileFile, WriteReplacesValueAndKeepsEveryOtherLine) {
    const TempFolder folder;
    const auto path = folder.write("AppSetup.ini", "; mine\r\n[Global]\r\nZoom Mode=2\r\n"
                                                   "Volume=100\r\n\r\n[Other]\r\nx=1\r\n");
    ProfileFile profile = ProfileFile::load(path);
    ASSERT_TRUE(profile.writeString("global", "VOLUME", "35"));
    EXPECT_EQ(readAll(path),
              "; mine\r\n[Global]\r\nZoom Mode=2\r\nVolume=35\r\n\r\n[Other]\r\nx=1\r\n");
    EXPECT_EQ(ProfileFile::load(path).readInt("Global", "Volume", 0), 35);
}

TEST(ProfileFile, WriteAddsKeyAtTheEndOfItsSectionAndNewSectionsAtTheEnd) {
    const TempFolder folder;
    const auto path = folder.write("a.ini", "[Global]\nA=1\n\n[Other]\nx=1\n");
    ProfileFile profile = ProfileFile::load(path);
    ASSERT_TRUE(profile.writeString("Global", "B", "2"));
    ASSERT_TRUE(profile.writeString("New", "C", "3"));
    EXPECT_EQ(readAll(path), "[Global]\nA=1\nB=2\n\n[Other]\nx=1\n\n[New]\nC=3\n");
}

TEST(ProfileFile, WriteCreatesAMissingFileAndItsFolder) {
    const TempFolder folder;
    const auto path = folder.path() / "Tachy" / "AppSetup.ini";
    ProfileFile profile = ProfileFile::load(path);
    ASSERT_TRUE(profile.writeString("Global", "Latest File Path", "/media/card"));
    EXPECT_TRUE(profile.exists());
    EXPECT_EQ(readAll(path), "[Global]\r\nLatest File Path=/media/card\r\n");
}

TEST(ProfileFile, WriteKeepsUtf16EncodingAndKeepsValuesOnOneLine) {
    const TempFolder folder;
    const auto path = folder.write(
        "lang.ini", tachy::text::encode("[A]\r\nk=v\r\n", tachy::text::Encoding::Utf16Le));
    ProfileFile profile = ProfileFile::load(path);
    ASSERT_TRUE(profile.writeString("A", "k", "line1\nline2"));
    const std::string bytes = readAll(path);
    EXPECT_EQ(bytes, tachy::text::encode("[A]\r\nk=line1 line2\r\n", tachy::text::Encoding::Utf16Le));
}

TEST(ProfileFile, WriteSeesChangesMadeOnDiskSinceLoading) {
    const TempFolder folder;
    const auto path = folder.write("a.ini", "[G]\nA=1\n");
    ProfileFile first = ProfileFile::load(path);
    ProfileFile second = ProfileFile::load(path);
    ASSERT_TRUE(first.writeString("G", "B", "2"));
    ASSERT_TRUE(second.writeString("G", "C", "3"));
    const ProfileFile result = ProfileFile::load(path);
    EXPECT_EQ(result.readInt("G", "B", 0), 2);
    EXPECT_EQ(result.readInt("G", "C", 0), 3);
}

TEST(ProfileFile, WriteNeverReplacesSomethingItCannotRead) {
    const TempFolder folder;
    // A folder where the file should be: it exists but cannot be read as a file.
    const auto path = folder.path() / "AppSetup.ini";
    std::filesystem::create_directories(path / "inside");
    ProfileFile profile = ProfileFile::load(path);
    EXPECT_FALSE(profile.exists());
    EXPECT_FALSE(profile.writeString("G", "B", "2"));
    EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
}

TEST(ProfileFile, ParsedTextCannotBeWritten) {
    ProfileFile profile = ProfileFile::parse("[G]\nA=1\n");
    EXPECT_FALSE(profile.writeString("G", "A", "2"));
}
