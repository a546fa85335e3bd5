#include "util/CUtilFormatDrive.h"

#include "tests/util/Fat32ImageFixture.h"

#include <gtest/gtest.h>

namespace {

using tachy::test::makeSparseImage;
using tachy::test::quoted;
using tachy::test::runTool;

constexpr std::uint64_t kMiB = 1024 * 1024;

TEST(CUtilFormatDrive, FormatsAnImageThroughMkfsWithClusterSizeAndLabel) {
    const tachy::test::TempFolder folder;
    const auto image = makeSparseImage(folder, "card.img", 512 * kMiB);
    CUtilFormatDrive formatter;
    ASSERT_EQ(formatter.FormatDrive(image.string(), "fat32", 1, 2048, "RECORDER CARD"), 1)
        << formatter.GetLastError();
    const auto fsck = runTool("fsck.fat -n -v " + quoted(image));
    ASSERT_TRUE(fsck.ok) << fsck.output;
    EXPECT_NE(fsck.output.find("2048 bytes per cluster"), std::string::npos) << fsck.output;
    EXPECT_EQ(runTool("fatlabel " + quoted(image)).output, "RECORDER CA\n"); // 11 characters
}

TEST(CUtilFormatDrive, AnswersZeroWithTheReasonWhenItCannotFormat) {
    const tachy::test::TempFolder folder;
    const auto image = makeSparseImage(folder, "card.img", 512 * kMiB);
    CUtilFormatDrive formatter;
    EXPECT_EQ(formatter.FormatDrive(image.string(), "NTFS", 1, 32768, ""), 0);
    EXPECT_NE(formatter.GetLastError().find("FAT32"), std::string::npos);
    EXPECT_EQ(formatter.FormatDrive((folder.path() / "absent").string(), "FAT32", 1, 0, ""), 0);
    EXPECT_NE(formatter.GetLastError().find("does not exist"), std::string::npos);
    // A folder that is no mount point is no volume.
    EXPECT_EQ(formatter.FormatDrive(folder.path().string(), "FAT32", 1, 0, ""), 0);
    // The formatter's own complaint comes back.
    EXPECT_EQ(formatter.FormatDrive(image.string(), "FAT32", 1, 512, "A*B"), 0);
    EXPECT_NE(formatter.GetLastError().find("not allowed"), std::string::npos)
        << formatter.GetLastError();
    tachy::SystemFormatter missing("/nonexistent/mkfs.fat");
    formatter.SetFormatter(missing);
    EXPECT_EQ(formatter.FormatDrive(image.string(), "FAT32", 1, 0, ""), 0);
    EXPECT_NE(formatter.GetLastError().find("could not be started"), std::string::npos);
}

} // namespace
