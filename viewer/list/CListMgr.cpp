#include "viewer/list/CListMgr.h"

#include "viewer/list/TimeInterval.h"

#include <algorithm>
#include <system_error>
#include <thread>

using tachy::viewer::StartsEarlier;
using tachy::viewer::TimeInterval;

namespace {

bool validArray(int array) {
    return array >= 0 && array < CListMgr::kArrayCount;
}

bool sameEntry(const CTimeList& a, const CTimeList& b) {
    return a.m_llStartSecond[0] == b.m_llStartSecond[0] &&
           a.m_nStartMillisecond[0] == b.m_nStartMillisecond[0] &&
           a.m_nRecordMode[0] == b.m_nRecordMode[0] &&
           a.m_nFirstFileNumber[0] == b.m_nFirstFileNumber[0] &&
           a.m_nCurrentFileNumber[0] == b.m_nCurrentFileNumber[0];
}

// Merges the sorted runs [begin, middle) and [middle, end) of source into target.
void mergeRuns(CListMgr::Array& source, CListMgr::Array& target, std::size_t begin,
               std::size_t middle, std::size_t end, bool ascending) {
    std::size_t left = begin;
    std::size_t right = middle;
    for (std::size_t out = begin; out < end; ++out) {
        bool takeRight = left >= middle;
        if (!takeRight && right < end) {
            const TimeInterval l = TimeInterval::of(*source[left]);
            const TimeInterval r = TimeInterval::of(*source[right]);
            takeRight = ascending ? StartsEarlier(r, l) : StartsEarlier(l, r);
        }
        target[out] = std::move(takeRight ? source[right++] : source[left++]);
    }
}

} // namespace

CListMgr::CListMgr() : m_arrays(kArrayCount) {}

CListMgr::~CListMgr() = default;

bool CListMgr::AddEntry(const CTimeList& entry) {
    const int mode = entry.m_nRecordMode[0];
    if (!validArray(mode)) {
        return false;
    }
    return AppendEntry(mode, std::make_unique<CTimeList>(entry));
}

bool CListMgr::AppendEntry(int array, std::unique_ptr<CTimeList> entry) {
    if (!validArray(array) || entry == nullptr) {
        return false;
    }
    m_arrays[static_cast<std::size_t>(array)].push_back(std::move(entry));
    return true;
}

const CListMgr::Array& CListMgr::GetArray(int array) const {
    static const Array empty;
    return validArray(array) ? m_arrays[static_cast<std::size_t>(array)] : empty;
}

int CListMgr::GetCount(int array) const {
    return static_cast<int>(GetArray(array).size());
}

int CListMgr::GetTotalCount() const {
    int total = 0;
    for (const Array& array : m_arrays) {
        total += static_cast<int>(array.size());
    }
    return total;
}

bool CListMgr::RemoveEntry(const CTimeList& match) {
    const int mode = match.m_nRecordMode[0];
    if (!validArray(mode)) {
        return false;
    }
    Array& array = m_arrays[static_cast<std::size_t>(mode)];
    for (auto it = array.begin(); it != array.end(); ++it) {
        if (sameEntry(**it, match)) {
            array.erase(it);
            return true;
        }
    }
    return false;
}

void CListMgr::RemoveAll() {
    for (Array& array : m_arrays) {
        array.clear();
    }
}

void CListMgr::Sort() {
    try {
        std::thread worker([this] { sortAll(); });
        worker.join();
    } catch (const std::system_error&) {
        // No thread could be started: sorting here gives the same result.
        sortAll();
    }
}

void CListMgr::sortAll() {
    for (Array& array : m_arrays) {
        MergeSort(array, m_bAscending);
    }
}

void CListMgr::MergeSort(Array& entries, bool ascending) {
    const std::size_t count = entries.size();
    if (count < 2) {
        return;
    }
    Array buffer(count);
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t begin = 0; begin < count; begin += 2 * width) {
            const std::size_t middle = std::min(begin + width, count);
            const std::size_t end = std::min(begin + 2 * width, count);
            mergeRuns(entries, buffer, begin, middle, end, ascending);
        }
        entries.swap(buffer);
    }
}
