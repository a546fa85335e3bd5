#include "engine/CTimeList.h"

CTimeList::CTimeList() {
    for (int c = 0; c < kChannels; ++c) {
        m_nChannel[static_cast<std::size_t>(c)] = c;
    }
}

CTimeList::~CTimeList() = default;

std::string CTimeList::CurrentPath(int channel) const {
    if (channel < 0 || channel >= kChannels) {
        return {};
    }
    const auto c = static_cast<std::size_t>(channel);
    const std::int64_t index =
        static_cast<std::int64_t>(m_nCurrentFileNumber[c]) - m_nFirstFileNumber[c];
    if (index < 0 || index >= static_cast<std::int64_t>(m_fileList[c].size())) {
        return {};
    }
    return m_fileList[c][static_cast<std::size_t>(index)];
}

void CTimeList::SetStart(int channel, std::int64_t timeMs) {
    const auto c = static_cast<std::size_t>(channel);
    m_llStartSecond[c] = timeMs / 1000;
    m_nStartMillisecond[c] = static_cast<std::int32_t>(timeMs % 1000);
    m_llStartTime[c] = timeMs;
}

void CTimeList::SetEnd(int channel, std::int64_t timeMs) {
    const auto c = static_cast<std::size_t>(channel);
    m_llEndSecond[c] = timeMs / 1000;
    m_nEndMillisecond[c] = static_cast<std::int32_t>(timeMs % 1000);
    m_llEndTime[c] = timeMs;
}

int RecordModeBits(int modeIndex) {
    return modeIndex <= 0 ? 0 : 1 << (modeIndex - 1);
}
