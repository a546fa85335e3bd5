#pragma once
// Time-list entries made by hand for the list tests: a mode, a start and end in milliseconds,
// a file number and the first channel's file.

#include "engine/CTimeList.h"

#include <cstdint>
#include <string>

namespace tachy::test {

inline CTimeList makeEntry(int mode, std::int64_t startMs, std::int64_t endMs,
                           int fileNumber = 1, const std::string& path = {}) {
    CTimeList entry;
    entry.SetStart(0, startMs);
    entry.SetEnd(0, endMs);
    entry.m_nRecordMode[0] = mode;
    entry.m_nRecordModeBits[0] = RecordModeBits(mode);
    entry.m_nFirstFileNumber[0] = fileNumber;
    entry.m_nCurrentFileNumber[0] = fileNumber;
    entry.m_nLastFileNumber[0] = fileNumber;
    if (!path.empty()) {
        entry.m_fileList[0].push_back(path);
    }
    entry.m_nChannelCount = 1;
    return entry;
}

// 2024-03-10 13:15:09 UTC in milliseconds.
inline constexpr std::int64_t kMarch10 = 1710076509000;

} // namespace tachy::test
