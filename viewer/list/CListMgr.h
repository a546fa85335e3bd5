#pragma once
// Time-list entries kept per record mode: seven growable arrays, each owning its entries, and
// the direction they are sorted in. The sort is a stable bottom-up merge sort by start time
// that runs on a worker thread while the caller waits for it.
//
// Not synchronised: the owner guards a CListMgr with its own lock.

#include "engine/CTimeList.h"

#include <memory>
#include <vector>

class CListMgr {
public:
    static constexpr int kArrayCount = 7;
    using Array = std::vector<std::unique_ptr<CTimeList>>;

    CListMgr();
    ~CListMgr();
    CListMgr(const CListMgr&) = delete;
    CListMgr& operator=(const CListMgr&) = delete;

    // Appends a copy to the array of the entry's record mode (its first channel's). An entry
    // whose mode is outside 0 to 6 is not kept: false.
    bool AddEntry(const CTimeList& entry);
    // Appends to a chosen array; false (and the entry dropped) for an array outside 0 to 6.
    bool AppendEntry(int array, std::unique_ptr<CTimeList> entry);

    // The array's entries; an empty array for an index outside 0 to 6.
    const Array& GetArray(int array) const;
    int GetCount(int array) const;
    int GetTotalCount() const;

    // Removes the first entry of the mode's array that matches in start second, start
    // millisecond, mode, first file number and current file number. False when none does.
    bool RemoveEntry(const CTimeList& match);
    void RemoveAll();

    void SetAscending(bool ascending) { m_bAscending = ascending; }
    bool IsAscending() const { return m_bAscending; }

    // Sorts every array by start time on a worker thread and returns when it has finished.
    void Sort();

    // The merge sort itself: run widths 1, 2, 4, ...; an element of the right run goes first
    // only when it starts strictly earlier (later, descending), so equal starts keep their
    // order.
    static void MergeSort(Array& entries, bool ascending);

private:
    void sortAll();

    std::vector<Array> m_arrays;
    bool m_bAscending = true;
};
