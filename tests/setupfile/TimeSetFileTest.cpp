// The clock file "timeset.txt" and "reset.txt": the picked time as the whole 64-bit value,
// judged against Python's calendar.

#include "setupfile/TimeSetFile.h"
#include "tests/setupfile/SetupFileFixture.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tachy::setupfile;

namespace {

// Python's calendar texts of the values, one a line.
std::string PythonUtcTexts(const std::vector<std::int64_t>& values) {
    std::string arguments;
    for (const std::int64_t value : values) {
        arguments += " " + std::to_string(value);
    }
    return tachy::test::runCommand(
        "python3 -S -c \"import datetime, sys; [print((datetime.datetime(1970, 1, 1) + "
        "datetime.timedelta(seconds=int(v))).strftime('%Y-%m-%d %H:%M:%S')) "
        "for v in sys.argv[1:]]\"" +
        arguments);
}

} // namespace

TEST(TimeSetFile, TimesPast2038And2106KeepAllTheirBits) {
    const auto y2040 = TimeSetFile::Compose(2040, 1, 1, 0, 0, 0);
    ASSERT_TRUE(y2040);
    EXPECT_EQ(*y2040, 2208988800LL); // above 2^31
    EXPECT_EQ(TimeSetFile::Text(*y2040), "2040-01-01 00:00:00");
    const auto y2106 = TimeSetFile::Compose(2106, 2, 7, 6, 28, 16);
    ASSERT_TRUE(y2106);
    EXPECT_EQ(*y2106, 4294967296LL); // 2^32: nothing left in the low 32 bits
    EXPECT_EQ(TimeSetFile::Text(*y2106), "2106-02-07 06:28:16");
    const std::vector<std::int64_t> values = {0,          951782400,    1796142552,
                                              4102444799, 253402300799, -2208988800};
    std::string ours;
    for (const std::int64_t value : values) {
        ours += TimeSetFile::Text(value) + "\n";
    }
    EXPECT_EQ(ours, PythonUtcTexts(values));
}

TEST(TimeSetFile, ComposeRefusesFieldsOutOfRange) {
    EXPECT_TRUE(TimeSetFile::Compose(1900, 1, 1, 0, 0, 0));
    EXPECT_TRUE(TimeSetFile::Compose(2024, 2, 29, 23, 59, 59));
    EXPECT_FALSE(TimeSetFile::Compose(1899, 12, 31, 0, 0, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2023, 2, 29, 0, 0, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2024, 4, 31, 0, 0, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2024, 13, 1, 0, 0, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2024, 1, 0, 0, 0, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2024, 1, 1, 24, 0, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2024, 1, 1, 0, 60, 0));
    EXPECT_FALSE(TimeSetFile::Compose(2024, 1, 1, 0, 0, 60));
}

TEST(TimeSetFile, WritesTheTimeWithoutLineEndAndAnEmptyResetFile) {
    tachy::test::TempFolder card;
    const SetupFileStore store;
    const auto folder = card.path() / "SETUP";
    ASSERT_EQ(TimeSetFile::WriteTimeSet(store, folder, *TimeSetFile::Compose(2040, 5, 6, 7, 8, 9)),
              SetupWriteResult::Written);
    EXPECT_EQ(tachy::test::readAll(folder / "timeset.txt"), "2040-05-06 07:08:09");
    // Written again, the file is replaced, not appended to.
    ASSERT_EQ(TimeSetFile::WriteTimeSet(store, folder, *TimeSetFile::Compose(2025, 1, 2, 3, 4, 5)),
              SetupWriteResult::Written);
    EXPECT_EQ(tachy::test::readAll(folder / "timeset.txt"), "2025-01-02 03:04:05");
    ASSERT_EQ(TimeSetFile::WriteReset(store, card.path()), SetupWriteResult::Written);
    EXPECT_TRUE(std::filesystem::is_regular_file(card.path() / "reset.txt"));
    EXPECT_EQ(std::filesystem::file_size(card.path() / "reset.txt"), 0U);
}
