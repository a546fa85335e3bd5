// Finding the recorder's OBD driving log under a loaded folder and reading its rows.

#include "viewer/obd/ObdDriveLog.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace viewer::obd;
namespace fs = std::filesystem;
using tachy::test::TempFolder;

namespace {

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

TEST(ObdDriveLogSearch, TheLogDirectlyInTheFolderWinsOverSubFolders) {
    TempFolder folder;
    Write(folder.path() / "a" / "obddrive.log", "x");
    Write(folder.path() / "obddrive.log", "x");
    EXPECT_EQ(FindObdDriveLog(folder.path()), folder.path() / "obddrive.log");
}

TEST(ObdDriveLogSearch, DepthFirstInNameOrder) {
    TempFolder folder;
    Write(folder.path() / "B" / "obddrive.log", "x");
    Write(folder.path() / "a" / "deep" / "obddrive.log", "x");
    Write(folder.path() / "c" / "obddrive.log", "x");
    EXPECT_EQ(FindObdDriveLog(folder.path()), folder.path() / "a" / "deep" / "obddrive.log");
}

TEST(ObdDriveLogSearch, NameMatchesWithoutRegardToCase) {
    TempFolder folder;
    Write(folder.path() / "sub" / "OBDDRIVE.LOG", "x");
    EXPECT_EQ(FindObdDriveLog(folder.path()), folder.path() / "sub" / "OBDDRIVE.LOG");
}

TEST(ObdDriveLogSearch, NothingWhenAbsentOrNotAFolder) {
    TempFolder folder;
    Write(folder.path() / "sub" / "obddrive.txt", "x");
    fs::create_directories(folder.path() / "sub" / "obddrive.log" / "x"); // a folder of that name
    EXPECT_FALSE(FindObdDriveLog(folder.path()).has_value());
    EXPECT_FALSE(FindObdDriveLog(folder.path() / "missing").has_value());
    EXPECT_FALSE(FindObdDriveLog(fs::path()).has_value());
}

TEST(ObdDriveLogSearch, LinksToFoldersAreNotFollowed) {
    TempFolder folder;
    fs::create_directories(folder.path() / "card");
    fs::create_directory_symlink(folder.path(), folder.path() / "card" / "loop");
    Write(folder.path() / "elsewhere" / "obddrive.log", "x");
    EXPECT_FALSE(FindObdDriveLog(folder.path() / "card").has_value());
}

TEST(ObdDriveLogSearch, FoldersDeeperThanTheLimitAreNotEntered) {
    TempFolder folder;
    fs::path deep = folder.path();
    for (int level = 0; level <= kMaxLogSearchDepth; ++level) {
        deep /= "d";
    }
    Write(deep / "obddrive.log", "x");
    EXPECT_FALSE(FindObdDriveLog(folder.path()).has_value());
    Write(deep.parent_path() / "obddrive.log", "x");
    EXPECT_EQ(FindObdDriveLog(folder.path()), deep.parent_path() / "obddrive.log");
}

TEST(ObdDriveLogRows, HeaderOnlyGivesNoRows) {
    EXPECT_TRUE(
        ParseObdDriveLog(QStringLiteral("Date,Start,Distance,Top,Avg,Fuel,Idle\r\n")).empty());
    EXPECT_TRUE(ParseObdDriveLog(QStringLiteral("Date,Start,Distance,Top,Avg,Fuel,Idle")).empty());
    EXPECT_TRUE(ParseObdDriveLog(QString()).empty());
}

TEST(ObdDriveLogRows, SevenColumnsTheLastTakesTheRest) {
    const std::vector<LogRow> rows =
        ParseObdDriveLog(QStringLiteral("header\r\n2026-01-02,08:15,12.5,88,41,1.2,3,extra,"
                                        "more\r\n2026-01-03,17:40,3,50,20,0.4,1\n"));
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0][0], QStringLiteral("2026-01-02"));
    EXPECT_EQ(rows[0][5], QStringLiteral("1.2"));
    EXPECT_EQ(rows[0][6], QStringLiteral("3,extra,more"));
    EXPECT_EQ(rows[1][1], QStringLiteral("17:40"));
    EXPECT_EQ(rows[1][6], QStringLiteral("1"));
}

TEST(ObdDriveLogRows, ShortLinesLeaveTheMissingColumnsEmpty) {
    const std::vector<LogRow> rows = ParseObdDriveLog(QStringLiteral("h\na,b\n\nc\n"));
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0][1], QStringLiteral("b"));
    EXPECT_TRUE(rows[0][2].isEmpty());
    EXPECT_EQ(rows[1][0], QStringLiteral("c"));
}

TEST(ObdDriveLogRows, ReadsTheFileInLineOrder) {
    TempFolder folder;
    std::string text = "header\n";
    for (int i = 0; i < 50; ++i) {
        text += std::to_string(i) + ",b,c,d,e,f,g\n";
    }
    Write(folder.path() / "obddrive.log", text);
    const auto rows = ReadObdDriveLog(folder.path() / "obddrive.log");
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 50U);
    EXPECT_EQ((*rows)[0][0], QStringLiteral("0"));
    EXPECT_EQ((*rows)[49][0], QStringLiteral("49"));
    EXPECT_FALSE(ReadObdDriveLog(folder.path() / "missing.log").has_value());
}

} // namespace
