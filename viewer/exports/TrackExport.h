#pragma once
// The route of recordings chosen in the list as one GPX or KML file: the front camera's driving
// data of each recording, in time order, written by the track writer of `tachy track` to a
// temporary file beside the target and renamed over it at the end, so that a failed or stopped
// export leaves no half track.
//
// Threads: Run works on the calling thread (the progress dialog's worker); it touches no widget.

#include "cli/TrackWriter.h"
#include "engine/CTimeList.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tachy::viewer {

class TrackExport {
public:
    enum class Outcome { Written, NoPositions, Stopped, Failed };
    using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

    TrackExport(std::vector<CTimeList> entries, cli::TrackWriter::Format format,
                std::filesystem::path target);

    // Reads the recordings (a progress step per file) and writes the track. NoPositions, with
    // nothing written, when none of the recordings carries a position.
    Outcome Run(const std::atomic<bool>& cancel, const Progress& progress);

    int Points() const { return m_points; }
    const std::filesystem::path& Target() const { return m_target; }
    // The file written before it is renamed to `target`.
    static std::filesystem::path Temporary(const std::filesystem::path& target);

private:
    bool Write(const std::vector<cli::FileSamples>& files) const;

    std::vector<CTimeList> m_entries;
    cli::TrackWriter::Format m_format;
    std::filesystem::path m_target;
    int m_points = 0;
};

} // namespace tachy::viewer
