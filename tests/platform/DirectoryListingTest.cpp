#include "platform/fs/DirectoryListing.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::DirectoryListing;

TEST(DirectoryListing, WildcardsMatchWithoutRegardToCase) {
    EXPECT_TRUE(DirectoryListing::matches("FileNameRule_A.ini", "filenamerule_*.INI"));
    EXPECT_TRUE(DirectoryListing::matches("lang_eng.ini", "lang*.ini"));
    EXPECT_FALSE(DirectoryListing::matches("xlang.ini", "lang*.ini"));
    EXPECT_TRUE(DirectoryListing::matches("ch1.avi", "ch?.avi"));
    EXPECT_FALSE(DirectoryListing::matches("ch12.avi", "ch?.avi"));
    EXPECT_TRUE(DirectoryListing::matches("a.b.c", "*.c"));
    EXPECT_TRUE(DirectoryListing::matches("abcabd", "*ab?"));
    EXPECT_TRUE(DirectoryListing::matches("ÉVÉNEMENT", "év*"));
    EXPECT_TRUE(DirectoryListing::matches("é", "?"));  // '?' is one character, not one byte
    // "*.*" is every name, with or without a dot.
    EXPECT_TRUE(DirectoryListing::matches("system_run", "*.*"));
    EXPECT_FALSE(DirectoryListing::matches("", "?"));
    EXPECT_TRUE(DirectoryListing::matches("", "*"));
}

TEST(DirectoryListing, PathologicalPatternsStayFast) {
    const std::string name(5000, 'a');
    EXPECT_FALSE(DirectoryListing::matches(name, "*a*a*a*a*a*a*a*a*b"));
}

TEST(DirectoryListing, ListsMatchingEntriesSortedByNameWithoutRegardToCase) {
    const tachy::test::TempFolder folder;
    folder.write("b.AVI", "12345");
    folder.write("A.avi", "1");
    folder.write("c.txt", "");
    folder.write("Normal/x.avi", "");
    std::filesystem::create_directories(folder.path() / "event");
    const auto avi = DirectoryListing::list(folder.path(), "*.avi");
    ASSERT_EQ(avi.size(), 2U);
    EXPECT_EQ(avi[0].name, "A.avi");
    EXPECT_EQ(avi[0].size, 1U);
    EXPECT_EQ(avi[1].name, "b.AVI");
    EXPECT_EQ(avi[1].size, 5U);
    const auto all = DirectoryListing::list(folder.path(), "*");
    ASSERT_EQ(all.size(), 5U);
    EXPECT_EQ(all[3].name, "event");
    EXPECT_TRUE(all[3].isDirectory);
    EXPECT_EQ(all[4].name, "Normal");
}

TEST(DirectoryListing, MissingFolderGivesAnEmptyList) {
    EXPECT_TRUE(DirectoryListing::list("/nonexistent/folder", "*").empty());
}
