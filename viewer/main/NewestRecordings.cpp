#include "viewer/main/NewestRecordings.h"

#include <array>
#include <cstdint>

namespace viewer {

namespace {

constexpr int kRecordModes = 7;

} // namespace

std::vector<std::string> NewestRecordings(int rows,
                                          const std::function<bool(int, CTimeList&)>& entry) {
    std::array<std::string, kRecordModes> newest;
    std::array<std::int64_t, kRecordModes> newestTime{};
    newestTime.fill(-1);
    for (int row = 0; row < rows; ++row) {
        CTimeList listed;
        if (!entry(row, listed)) {
            continue;
        }
        const int mode = listed.m_nRecordMode[0];
        if (mode < 0 || mode >= kRecordModes || listed.m_fileList[0].empty()) {
            continue;
        }
        const auto slot = static_cast<std::size_t>(mode);
        if (listed.m_llStartTime[0] > newestTime[slot]) {
            newestTime[slot] = listed.m_llStartTime[0];
            newest[slot] = listed.m_fileList[0].back();
        }
    }
    std::vector<std::string> files;
    for (std::string& file : newest) {
        if (!file.empty()) {
            files.push_back(std::move(file));
        }
    }
    return files;
}

} // namespace viewer
