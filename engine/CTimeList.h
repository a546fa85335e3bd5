#pragma once
// One time-list entry: a recording period with, per camera channel, its start and end, record
// mode, file numbers, state and the files that hold it. Built by the engine, kept by the
// viewer, copied whole wherever it goes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CTimeList {
public:
    static constexpr int kChannels = 3;
    // Channel states.
    static constexpr int kUsable = 0;
    static constexpr int kTooShort = 3;
    static constexpr int kUnreadable = 8;

    CTimeList();
    virtual ~CTimeList();
    CTimeList(const CTimeList&) = default;
    CTimeList& operator=(const CTimeList&) = default;
    CTimeList(CTimeList&&) = default;
    CTimeList& operator=(CTimeList&&) = default;

    // The file channel c plays: element (current - first file number) of its list, or "".
    std::string CurrentPath(int channel) const;
    // Sets start or end from UTC milliseconds (second, millisecond and the combined time).
    void SetStart(int channel, std::int64_t timeMs);
    void SetEnd(int channel, std::int64_t timeMs);

    std::array<std::int64_t, kChannels> m_llStartSecond{};
    std::array<std::int32_t, kChannels> m_nStartMillisecond{};
    std::array<std::int64_t, kChannels> m_llEndSecond{};
    std::array<std::int32_t, kChannels> m_nEndMillisecond{};
    std::array<std::int64_t, kChannels> m_llStartTime{};
    std::array<std::int64_t, kChannels> m_llEndTime{};
    std::array<std::int32_t, kChannels> m_nRecordMode{};
    std::array<std::int32_t, kChannels> m_nFirstFileNumber{};
    std::array<std::int32_t, kChannels> m_nReserved1{};
    std::array<std::int32_t, kChannels> m_nRecordModeBits{};
    std::array<std::int32_t, kChannels> m_nLastFileNumber{};
    std::array<std::int32_t, kChannels> m_nCurrentFileNumber{};
    std::array<std::int32_t, kChannels> m_nChannel{};
    std::array<std::int32_t, kChannels> m_nState{};
    std::array<std::int32_t, kChannels> m_nReserved2{};
    std::array<std::int32_t, kChannels> m_nReserved3{};
    std::array<std::vector<std::string>, kChannels> m_fileList;
    std::array<std::int32_t, kChannels> m_nFileSize{};
    std::int32_t m_nChannelCount = 0;
};

// The record-mode bits of a mode index: 0 for normal (and none), else 1 << (index - 1).
int RecordModeBits(int modeIndex);
