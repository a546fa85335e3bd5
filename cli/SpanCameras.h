#pragma once
// Which recording files a span of time needs, camera by camera: the files of the time-list
// entries that overlap the span, in time order, each with the start time its name gives.
// Shared by `tachy export` and the viewer's "Export video".

#include "cli/ClipBuilder.h"
#include "engine/CTimeList.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace tachy::cli {

class SpanCameras {
public:
    // The UTC start of a recording file from its name; nothing when the name cannot be read.
    using StartOf = std::function<std::optional<std::int64_t>(const std::filesystem::path&)>;

    // Each camera's files of the `entries` (in time order) that overlap [fromMs, toMs).
    // Cameras without a file in the span are left out; the front camera stays first, even when
    // empty. `allInOne`: each file holds every camera (".av2"), the channel is its video stream.
    static std::vector<std::vector<ClipSource>> Of(const std::vector<CTimeList>& entries,
                                                   const StartOf& startOf, bool allInOne,
                                                   std::int64_t fromMs, std::int64_t toMs);
    // The files of one camera (`channel`, 0 for the front) of the `entries` that overlap
    // [fromMs, toMs), in time order; files whose start cannot be read are left out.
    static std::vector<ClipSource> OfCamera(const std::vector<CTimeList>& entries,
                                            const StartOf& startOf, bool allInOne, int channel,
                                            std::int64_t fromMs, std::int64_t toMs);
};

} // namespace tachy::cli
