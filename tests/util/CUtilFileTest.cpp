#include "util/CUtilFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::readAll;
using tachy::test::TempFolder;

TEST(CUtilFile, CreateWriteSeekReadRoundTrip) {
    const TempFolder folder;
    const std::string path = (folder.path() / "f.bin").string();
    CUtilFile file;
    EXPECT_FALSE(file.isOpen());
    ASSERT_EQ(file.Create(path), 1);
    ASSERT_EQ(file.Write("hello world", 11), 1);
    EXPECT_EQ(file.GetLength(), 11U);
    EXPECT_EQ(file.Seek(6, CUtilFile::kBegin), 6);
    char word[5] = {};
    ASSERT_EQ(file.Read(word, 5), 1);
    EXPECT_EQ(std::string(word, 5), "world");
    EXPECT_EQ(file.Seek(-5, CUtilFile::kEnd), 6);
    EXPECT_EQ(file.Seek(1, CUtilFile::kCurrent), 7);
    EXPECT_EQ(file.Seek(0, 3), -1);
    EXPECT_EQ(file.Flush(), 1);
    file.Close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(readAll(path), "hello world");
}

TEST(CUtilFile, ReadAnswersZeroWhenLessThanTheSizeIsThere) {
    const TempFolder folder;
    const auto path = folder.write("short.bin", "abc");
    CUtilFile file;
    ASSERT_EQ(file.Open(path.string(), 0), 1);
    char buffer[8];
    EXPECT_EQ(file.Read(buffer, 8), 0);
}

TEST(CUtilFile, ReadOnlyOpenRefusesWritesAndCreateTruncates) {
    const TempFolder folder;
    const auto path = folder.write("data.bin", "0123456789");
    CUtilFile reader;
    ASSERT_EQ(reader.Open(path.string(), 0), 1);
    EXPECT_EQ(reader.Write("x", 1), 0);
    CUtilFile writer;
    ASSERT_EQ(writer.Create(path.string()), 1);
    EXPECT_EQ(writer.GetLength(), 0U);
}

TEST(CUtilFile, SetLengthGrowsAndShrinksAndLeavesThePositionAtTheEnd) {
    const TempFolder folder;
    const auto path = folder.write("len.bin", "0123456789");
    CUtilFile file;
    ASSERT_EQ(file.Open(path.string(), 1), 1);
    ASSERT_EQ(file.SetLength(std::uint32_t{4}), 1);
    EXPECT_EQ(file.GetLength(), 4U);
    EXPECT_EQ(file.Seek(0, CUtilFile::kCurrent), 4);
    ASSERT_EQ(file.SetLength(std::int64_t{6}), 1);
    file.Close();
    EXPECT_EQ(readAll(path), std::string("0123\0\0", 6));
}

TEST(CUtilFile, MissingFilesFoldersAndClosedHandlesFail) {
    const TempFolder folder;
    CUtilFile file;
    EXPECT_EQ(file.Open((folder.path() / "absent").string(), 0), 0);
    EXPECT_EQ(file.Open(folder.path().string(), 0), 0);
    EXPECT_EQ(file.Create((folder.path() / "no/such/folder/x").string()), 0);
    char byte = 0;
    EXPECT_EQ(file.Read(&byte, 1), 0);
    EXPECT_EQ(file.Write(&byte, 1), 0);
    EXPECT_EQ(file.Seek(0, CUtilFile::kBegin), -1);
    EXPECT_EQ(file.GetLength(), 0U);
    EXPECT_EQ(file.SetLength(std::int64_t{1}), 0);
    EXPECT_EQ(file.Flush(), 0);
}
