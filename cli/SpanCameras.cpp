#include "cli/SpanCameras.h"

namespace tachy::cli {

std::vector<std::vector<ClipSource>> SpanCameras::Of(const std::vector<CTimeList>& entries,
                                                     const StartOf& startOf, bool allInOne,
                                                     std::int64_t fromMs, std::int64_t toMs) {
    std::vector<std::vector<ClipSource>> cameras;
    for (int channel = 0; channel < CTimeList::kChannels; ++channel) {
        std::vector<ClipSource> sources =
            OfCamera(entries, startOf, allInOne, channel, fromMs, toMs);
        if (!sources.empty() || channel == 0) {
            cameras.push_back(std::move(sources));
        }
    }
    return cameras;
}

std::vector<ClipSource> SpanCameras::OfCamera(const std::vector<CTimeList>& entries,
                                              const StartOf& startOf, bool allInOne, int channel,
                                              std::int64_t fromMs, std::int64_t toMs) {
    std::vector<ClipSource> sources;
    for (const CTimeList& entry : entries) {
        if (entry.m_llEndTime[0] <= fromMs || entry.m_llStartTime[0] >= toMs) {
            continue;
        }
        for (const std::string& file : entry.m_fileList[static_cast<std::size_t>(channel)]) {
            if (const auto start = startOf(file)) {
                // An ".av2" file holds every camera: the channel is its video stream.
                sources.push_back({file, *start, allInOne ? channel : 0});
            }
        }
    }
    return sources;
}

} // namespace tachy::cli
