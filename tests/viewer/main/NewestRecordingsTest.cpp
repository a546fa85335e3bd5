// The newest recording of each mode, which the viewer reads once after opening a card.

#include "viewer/main/NewestRecordings.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

CTimeList Listed(int mode, std::int64_t start, std::vector<std::string> files) {
    CTimeList entry;
    entry.m_nRecordMode[0] = mode;
    entry.m_llStartTime[0] = start;
    entry.m_fileList[0] = std::move(files);
    return entry;
}

} // namespace

TEST(NewestRecordings, OneFilePerModeTheLastFileOfTheNewestEntry) {
    const std::vector<CTimeList> list = {
        Listed(0, 100, {"n1.avi"}),
        Listed(0, 300, {"n3a.avi", "n3b.avi"}),
        Listed(0, 200, {"n2.avi"}),
        Listed(2, 50, {"e1.avi"}),
        Listed(9, 900, {"unknown-mode.avi"}),
        Listed(-1, 900, {"no-mode.avi"}),
        Listed(5, 900, {}),
        Listed(6, 0, {"oldest-possible.avi"}),
    };
    const auto files =
        viewer::NewestRecordings(static_cast<int>(list.size()) + 1, [&](int row, CTimeList& entry) {
            if (row >= static_cast<int>(list.size())) {
                return false; // a row the list no longer has
            }
            entry = list[static_cast<std::size_t>(row)];
            return true;
        });
    EXPECT_EQ(files, (std::vector<std::string>{"n3b.avi", "e1.avi", "oldest-possible.avi"}));
}

TEST(NewestRecordings, AnEmptyListGivesNothing) {
    EXPECT_TRUE(viewer::NewestRecordings(0, [](int, CTimeList&) { return true; }).empty());
}
