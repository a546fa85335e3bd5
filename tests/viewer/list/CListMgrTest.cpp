#include "viewer/list/CListMgr.h"

#include "tests/viewer/list/TestEntries.h"
#include "viewer/list/TimeInterval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using tachy::test::makeEntry;
using tachy::viewer::TimeInterval;

// The file numbers of an array, in array order: the entries' identities in these tests.
std::vector<int> idsOf(const CListMgr::Array& array) {
    std::vector<int> ids;
    for (const auto& entry : array) {
        ids.push_back(entry->m_nFirstFileNumber[0]);
    }
    return ids;
}

TEST(CListMgrArrays, EntriesGoToTheArrayOfTheirMode) {
    CListMgr lists;
    EXPECT_TRUE(lists.AddEntry(makeEntry(0, 0, 1000, 1)));
    EXPECT_TRUE(lists.AddEntry(makeEntry(6, 0, 1000, 2)));
    EXPECT_TRUE(lists.AddEntry(makeEntry(6, 0, 1000, 3)));
    EXPECT_EQ(lists.GetCount(0), 1);
    EXPECT_EQ(lists.GetCount(6), 2);
    EXPECT_EQ(lists.GetTotalCount(), 3);
    EXPECT_EQ(idsOf(lists.GetArray(6)), (std::vector<int>{2, 3}));
}

TEST(CListMgrArrays, EntryWithAModeOutsideTheSevenIsNotKept) {
    CListMgr lists;
    EXPECT_FALSE(lists.AddEntry(makeEntry(-1, 0, 1000)));
    EXPECT_FALSE(lists.AddEntry(makeEntry(7, 0, 1000)));
    EXPECT_EQ(lists.GetTotalCount(), 0);
    EXPECT_TRUE(lists.GetArray(7).empty());
    EXPECT_TRUE(lists.GetArray(-1).empty());
}

TEST(CListMgrArrays, RemoveEntryTakesTheFirstMatchOfItsMode) {
    CListMgr lists;
    lists.AddEntry(makeEntry(1, 5'000, 9'000, 4));
    lists.AddEntry(makeEntry(1, 5'000, 9'000, 5));
    lists.AddEntry(makeEntry(1, 5'000, 9'000, 4));
    EXPECT_TRUE(lists.RemoveEntry(makeEntry(1, 5'000, 70'000, 4)));  // the end is not compared
    EXPECT_EQ(idsOf(lists.GetArray(1)), (std::vector<int>{5, 4}));
    EXPECT_FALSE(lists.RemoveEntry(makeEntry(1, 5'001, 9'000, 5)));  // other millisecond
    EXPECT_FALSE(lists.RemoveEntry(makeEntry(0, 5'000, 9'000, 5)));  // other mode
    CTimeList otherCurrent = makeEntry(1, 5'000, 9'000, 5);
    otherCurrent.m_nCurrentFileNumber[0] = 6;
    EXPECT_FALSE(lists.RemoveEntry(otherCurrent));
    EXPECT_EQ(lists.GetCount(1), 2);
}

TEST(CListMgrArrays, RemoveAllEmptiesEveryArray) {
    CListMgr lists;
    for (int mode = 0; mode < CListMgr::kArrayCount; ++mode) {
        lists.AddEntry(makeEntry(mode, 0, 1000));
    }
    lists.RemoveAll();
    EXPECT_EQ(lists.GetTotalCount(), 0);
}

TEST(CListMgrSort, OrdersEveryArrayByStart) {
    CListMgr lists;
    for (int mode = 0; mode < CListMgr::kArrayCount; ++mode) {
        lists.AddEntry(makeEntry(mode, 30'000, 40'000, 3));
        lists.AddEntry(makeEntry(mode, 10'000, 20'000, 1));
        lists.AddEntry(makeEntry(mode, 20'000, 30'000, 2));
    }
    lists.Sort();
    for (int mode = 0; mode < CListMgr::kArrayCount; ++mode) {
        EXPECT_EQ(idsOf(lists.GetArray(mode)), (std::vector<int>{1, 2, 3})) << mode;
    }
}

TEST(CListMgrSort, SameStartSecondIsOrderedByMilliseconds) {
    CListMgr lists;
    lists.AddEntry(makeEntry(0, 10'700, 70'000, 1));
    lists.AddEntry(makeEntry(0, 10'200, 70'000, 2));
    lists.AddEntry(makeEntry(0, 10'000, 70'000, 3));
    lists.Sort();
    EXPECT_EQ(idsOf(lists.GetArray(0)), (std::vector<int>{3, 2, 1}));
}

TEST(CListMgrSort, IdenticalStartsKeepCatalogueOrder) {
    CListMgr lists;
    // Same start, different ends: the end does not reorder them either.
    lists.AddEntry(makeEntry(0, 10'000, 90'000, 1));
    lists.AddEntry(makeEntry(0, 10'000, 20'000, 2));
    lists.AddEntry(makeEntry(0, 5'000, 20'000, 3));
    lists.AddEntry(makeEntry(0, 10'000, 50'000, 4));
    lists.AddEntry(makeEntry(0, 10'000, 90'000, 5));
    lists.Sort();
    EXPECT_EQ(idsOf(lists.GetArray(0)), (std::vector<int>{3, 1, 2, 4, 5}));
}

TEST(CListMgrSort, DescendingKeepsEqualStartsInOrderToo) {
    CListMgr lists;
    lists.SetAscending(false);
    lists.AddEntry(makeEntry(0, 10'000, 20'000, 1));
    lists.AddEntry(makeEntry(0, 30'000, 40'000, 2));
    lists.AddEntry(makeEntry(0, 10'000, 20'000, 3));
    lists.Sort();
    EXPECT_EQ(idsOf(lists.GetArray(0)), (std::vector<int>{2, 1, 3}));
}

TEST(CListMgrSort, MatchesStableSortOnRandomInputsOfEverySize) {
    std::mt19937 random(20240310);
    for (int count : {0, 1, 2, 3, 5, 8, 13, 64, 100, 257, 1000, 4099}) {
        // Few distinct starts, so that ties are common.
        std::uniform_int_distribution<int> start(0, std::max(count / 4, 1));
        std::uniform_int_distribution<int> length(0, 3);
        CListMgr::Array entries;
        for (int id = 0; id < count; ++id) {
            const std::int64_t begin = start(random) * 500;
            entries.push_back(std::make_unique<CTimeList>(
                makeEntry(0, begin, begin + length(random) * 400, id)));
        }
        std::vector<int> expected = idsOf(entries);
        std::vector<std::int64_t> starts(static_cast<std::size_t>(count));
        for (const auto& entry : entries) {
            starts[static_cast<std::size_t>(entry->m_nFirstFileNumber[0])] =
                TimeInterval::of(*entry).start;
        }
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            return starts[static_cast<std::size_t>(a)] < starts[static_cast<std::size_t>(b)];
        });
        CListMgr::MergeSort(entries, true);
        EXPECT_EQ(idsOf(entries), expected) << count << " entries";
    }
}

TEST(CListMgrSort, SortThroughTheWorkerMatchesTheDirectSort) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> start(0, 50);
    CListMgr lists;
    CListMgr::Array direct;
    for (int id = 0; id < 500; ++id) {
        const CTimeList entry = makeEntry(id % 7, start(random) * 1000, 60'000, id);
        lists.AddEntry(entry);
        if (id % 7 == 3) {
            direct.push_back(std::make_unique<CTimeList>(entry));
        }
    }
    lists.Sort();
    CListMgr::MergeSort(direct, true);
    EXPECT_EQ(idsOf(lists.GetArray(3)), idsOf(direct));
}

} // namespace
