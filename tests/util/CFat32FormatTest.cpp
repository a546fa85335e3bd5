#include "util/CFat32Format.h"

#include "tests/util/Fat32ImageFixture.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using tachy::test::allocatedBytes;
using tachy::test::makeSparseImage;
using tachy::test::quoted;
using tachy::test::readBytes;
using tachy::test::runTool;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kGiB = 1024 * kMiB;

// Opens the formatter's steps to the tests.
class Fat32Steps : public CFat32Format {
public:
    using CFat32Format::get_fat_size_sectors;
    using CFat32Format::get_sectors_per_cluster;
    using CFat32Format::get_volume_id;
};

std::uint32_t le32(const std::string& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i]))
                 << (8 * i);
    }
    return value;
}

void setSectorSize(CFat32Format& format, std::uint32_t sectorSize) {
    tachy::RawVolumeOptions options;
    options.imageSectorSize = sectorSize;
    format.SetVolumeOptions(options);
}

TEST(CFat32FormatSteps, ChoosesTheClusterSizeAboveEachThreshold) {
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(64 * kGiB, 512), 64u);
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(16 * kGiB + kMiB, 512), 32u);
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(16384 * kMiB, 512), 16u); // strictly above
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(15 * kGiB, 512), 16u);
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(2 * kGiB, 512), 8u);
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(512 * kMiB, 512), 1u);
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(400 * kMiB, 512), 1u);
    // 4,096-byte sectors: never a cluster of zero sectors.
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(400 * kMiB, 4096), 1u);
    EXPECT_EQ(Fat32Steps::get_sectors_per_cluster(64 * kGiB, 4096), 8u);
}

TEST(CFat32FormatSteps, FatSizeFormulaAndVolumeId) {
    // (4 x (total - reserved)) / (spc x bps + 4 x fats) + 1
    EXPECT_EQ(Fat32Steps::get_fat_size_sectors(134217728, 32, 64, 2, 512),
              4ull * (134217728 - 32) / (64 * 512 + 8) + 1);
    EXPECT_EQ(Fat32Steps::get_fat_size_sectors(524288, 32, 1, 2, 512), 4033u);
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11; // December
    time.tm_mday = 8;
    time.tm_hour = 16;
    time.tm_min = 45;
    time.tm_sec = 30;
    const std::uint32_t low = 8 + (12 << 8) + (567 / 10) + (30 << 8);
    const std::uint32_t high = 45 + (16 << 8) + 2026;
    EXPECT_EQ(Fat32Steps::get_volume_id(time, 567), (high << 16) | low);
    time.tm_hour = 23;
    time.tm_min = 59;
    time.tm_year = 65535 - 1900; // the high half wraps at 16 bits
    EXPECT_EQ(Fat32Steps::get_volume_id(time, 0) >> 16, (59u + (23u << 8) + 65535u) & 0xFFFF);
}

// One image size and cluster choice, judged by fsck.fat and mtools.
struct ImageCase {
    const char* name;
    std::uint64_t bytes;
    int sectorsPerCluster; // as given to Format
    std::uint32_t sectorSize;
    std::uint32_t expectedSectorsPerCluster;
};

class CFat32FormatImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(CFat32FormatImage, PassesFsckAndMtoolsWithTheFieldsWeWrote) {
    const ImageCase& param = GetParam();
    const tachy::test::TempFolder folder;
    const auto image = makeSparseImage(folder, "card.img", param.bytes);
    CFat32Format format;
    setSectorSize(format, param.sectorSize);
    format.SetVolumeLabel("Card 01");
    ASSERT_NE(format.Format(param.sectorsPerCluster, image.string()), 0) << format.GetLastError();

    const std::string boot = readBytes(image, 0, param.sectorSize);
    const std::optional<Fat32Layout> layout = parseBootSector(boot);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->sectorsPerCluster, param.expectedSectorsPerCluster);
    EXPECT_EQ(layout->totalSectors, param.bytes / param.sectorSize);

    // FSInfo: the root directory's clusters are taken, the next free one follows them.
    const std::uint32_t rootClusters = param.sectorsPerCluster == 64 ? 4 : 1;
    const std::string fsInfo = readBytes(image, param.sectorSize, param.sectorSize);
    EXPECT_EQ(le32(fsInfo, 488), layout->clusterCount() - rootClusters);
    EXPECT_EQ(le32(fsInfo, 492), 2 + rootClusters);
    EXPECT_EQ(readBytes(image, 7ull * param.sectorSize, param.sectorSize), fsInfo);

    // Only the system area is written, never the data area of a large card.
    // (the zeroed system area, then seven sectors written over it)
    const std::uint64_t systemBytes =
        (layout->firstDataSector() + 4ull * layout->sectorsPerCluster + 7) * param.sectorSize;
    EXPECT_LE(format.GetBytesWritten(), systemBytes);
    EXPECT_LE(allocatedBytes(image), systemBytes + kMiB);

    const auto fsck = runTool("fsck.fat -n -v " + quoted(image));
    ASSERT_TRUE(fsck.ok) << fsck.output;
    EXPECT_EQ(fsck.output.find("differ"), std::string::npos) << fsck.output;
    EXPECT_EQ(fsck.output.find("wrong"), std::string::npos) << fsck.output;
    EXPECT_NE(fsck.output.find(std::to_string(param.sectorSize) + " bytes per logical sector"),
              std::string::npos)
        << fsck.output;
    EXPECT_NE(fsck.output.find(std::to_string(layout->sectorsPerCluster * param.sectorSize) +
                               " bytes per cluster"),
              std::string::npos)
        << fsck.output;
    EXPECT_NE(fsck.output.find(std::to_string(layout->fatSizeSectors) + " sectors)"),
              std::string::npos)
        << fsck.output;
    EXPECT_NE(fsck.output.find("63 sectors/track, 255 heads"), std::string::npos) << fsck.output;
    EXPECT_NE(fsck.output.find(std::to_string(layout->totalSectors) + " sectors total"),
              std::string::npos)
        << fsck.output;

    // mtools writes a file on it and reads it back; the file system is still clean after.
    const auto payload = folder.write("payload.txt", "recorder settings\n");
    ASSERT_TRUE(runTool("mcopy -i " + quoted(image) + " " + quoted(payload) + " ::/SETUP.TXT").ok);
    const auto listing = runTool("mdir -i " + quoted(image) + " ::/");
    ASSERT_TRUE(listing.ok) << listing.output;
    EXPECT_NE(listing.output.find("SETUP"), std::string::npos) << listing.output;
    EXPECT_NE(listing.output.find("Volume in drive : is CARD 01"), std::string::npos)
        << listing.output;
    const auto back = runTool("mtype -i " + quoted(image) + " ::/SETUP.TXT");
    EXPECT_EQ(back.output, "recorder settings\n");
    EXPECT_TRUE(runTool("fsck.fat -n " + quoted(image)).ok);

    // The volume id and the label survive the writes: the tools read what the boot sector says.
    char id[16];
    std::snprintf(id, sizeof id, "%08x", layout->volumeId);
    const auto label = runTool("fatlabel " + quoted(image));
    EXPECT_EQ(label.output, "CARD 01\n");
    const auto fatId = runTool("fatlabel -i " + quoted(image));
    EXPECT_EQ(fatId.output, std::string(id) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CFat32FormatImage,
    ::testing::Values(ImageCase{"Auto256MiB", 256 * kMiB, 0, 512, 1},
                      ImageCase{"Auto2GiB", 2 * kGiB, 0, 512, 8},
                      ImageCase{"Given2GiB", 2 * kGiB, 4, 512, 4},
                      ImageCase{"FourClusterRoot4GiB", 4 * kGiB, 64, 512, 64},
                      ImageCase{"Auto33GiB", 33 * kGiB, 0, 512, 64},
                      ImageCase{"Given33GiB", 33 * kGiB, 16, 512, 16},
                      ImageCase{"Auto64GiB", 64 * kGiB, 0, 512, 64},
                      ImageCase{"Sector4096Auto2GiB", 2 * kGiB, 0, 4096, 1},
                      ImageCase{"Sector4096FourCluster64GiB", 64 * kGiB, 64, 4096, 64}),
    [](const ::testing::TestParamInfo<ImageCase>& info) { return std::string(info.param.name); });

TEST(CFat32Format, FourClusterRootIsChainedZeroedAndCountedInFsInfo) {
    const tachy::test::TempFolder folder;
    const auto image = makeSparseImage(folder, "card.img", 4 * kGiB);
    // Old data where the root directory goes must not survive.
    {
        const std::string junk(4 * kMiB, 'x');
        std::fstream out(image, std::ios::in | std::ios::out | std::ios::binary);
        out.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    CFat32Format format;
    ASSERT_NE(format.Format(64, image.string()), 0) << format.GetLastError();
    const auto layout = parseBootSector(readBytes(image, 0, 512));
    ASSERT_TRUE(layout.has_value());
    const std::string fat = readBytes(image, 32 * 512, 512);
    EXPECT_EQ(le32(fat, 0), 0x0FFFFFF8u);
    EXPECT_EQ(le32(fat, 4), 0x0FFFFFFFu);
    EXPECT_EQ(le32(fat, 8), 3u);
    EXPECT_EQ(le32(fat, 12), 4u);
    EXPECT_EQ(le32(fat, 16), 5u);
    EXPECT_EQ(le32(fat, 20), 0x0FFFFFFFu);
    EXPECT_EQ(le32(fat, 24), 0u);
    EXPECT_EQ(readBytes(image, (32 + layout->fatSizeSectors) * 512, 512), fat); // second FAT
    const std::string root = readBytes(image, layout->firstDataSector() * 512, 4 * 64 * 512);
    EXPECT_EQ(root, std::string(root.size(), '\0'));
    for (const std::uint64_t sector : {1u, 7u}) {
        const std::string fsInfo = readBytes(image, sector * 512, 512);
        EXPECT_EQ(le32(fsInfo, 488), layout->clusterCount() - 4);
        EXPECT_EQ(le32(fsInfo, 492), 6u);
    }
    const auto fsck = runTool("fsck.fat -n -v " + quoted(image));
    EXPECT_TRUE(fsck.ok) << fsck.output;
}

TEST(CFat32Format, SectorsOf4096BytesCarry55AaTwice) {
    const tachy::test::TempFolder folder;
    const auto image = makeSparseImage(folder, "card.img", 2 * kGiB);
    CFat32Format format;
    setSectorSize(format, 4096);
    ASSERT_NE(format.Format(0, image.string()), 0) << format.GetLastError();
    for (const std::uint64_t sector : {0u, 6u}) {
        const std::string boot = readBytes(image, sector * 4096, 4096);
        EXPECT_EQ(boot.substr(510, 2), "\x55\xAA");
        EXPECT_EQ(boot.substr(4094, 2), "\x55\xAA");
        EXPECT_EQ(boot[13], 1); // 512-byte clusters would be no sectors: one sector instead
    }
}

// Everything that is refused is refused before a byte is written.
TEST(CFat32Format, RefusesBeforeAnyWrite) {
    const tachy::test::TempFolder folder;
    struct Refusal {
        std::uint64_t bytes;
        int sectorsPerCluster;
        const char* label;
    };
    const Refusal refusals[] = {
        {65535 * 512, 0, ""},       // one sector short of the smallest volume
        {256 * kMiB, 8, ""},        // 65,404 clusters: too few for FAT32
        {2 * kGiB, 3, ""},          // not a power of two
        {2 * kGiB, 256, ""},        // does not fit the boot sector's byte
        {2 * kGiB, 0, "BAD/LABEL"}, // a character no FAT label holds
    };
    for (const Refusal& refusal : refusals) {
        const std::string pattern(4096, '\x5A');
        const auto image = folder.write("card.img", "");
        {
            std::ofstream out(image, std::ios::binary);
            for (std::uint64_t written = 0;
                 written < std::min<std::uint64_t>(refusal.bytes, 64 * kMiB);
                 written += pattern.size()) {
                out.write(pattern.data(), static_cast<std::streamsize>(pattern.size()));
            }
        }
        std::filesystem::resize_file(image, refusal.bytes);
        const std::string before = readBytes(image, 0, 64 * kMiB);
        CFat32Format format;
        format.SetVolumeLabel(refusal.label);
        EXPECT_EQ(format.Format(refusal.sectorsPerCluster, image.string()), 0);
        EXPECT_FALSE(format.GetLastError().empty());
        EXPECT_EQ(format.GetBytesWritten(), 0u);
        EXPECT_TRUE(readBytes(image, 0, 64 * kMiB) == before) << refusal.bytes;
    }
    CFat32Format missing;
    EXPECT_EQ(missing.Format(0, (folder.path() / "absent.img").string()), 0);
    EXPECT_NE(missing.GetLastError().find("does not exist"), std::string::npos);
}

// The FAT size formula alone can leave the FAT a few bytes short of the two reserved entries
// (66,721 sectors: 513 FAT sectors hold 65,664 entries, 65,663 clusters need 65,665). The
// formatter grows such a FAT, so fsck.fat finds every cluster's entry.
TEST(CFat32Format, GrowsAFatTheFormulaLeavesShort) {
    const std::uint32_t fat = Fat32Steps::get_fat_size_sectors(66721, 32, 1, 2, 512);
    EXPECT_EQ(fat, 513u);
    EXPECT_LT(fat * 512ull, ((66721ull - 32 - 2 * fat) + 2) * 4);

    const tachy::test::TempFolder folder;
    const auto image = makeSparseImage(folder, "card.img", 66721ull * 512);
    CFat32Format format;
    ASSERT_NE(format.Format(1, image.string()), 0) << format.GetLastError();
    const auto layout = parseBootSector(readBytes(image, 0, 512));
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->fatSizeSectors, 514u);
    const auto fsck = runTool("fsck.fat -n -v " + quoted(image));
    EXPECT_TRUE(fsck.ok) << fsck.output;
}

} // namespace
