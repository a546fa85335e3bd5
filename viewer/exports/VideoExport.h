#pragma once
// A span of the recordings as one shareable MP4: the cameras of the list entries that overlap
// the span, laid out and encoded by the exporter of `tachy export`, written to a temporary file
// beside the target and renamed over it at the end. A stopped or failed export leaves neither
// the target nor the temporary file.
//
// Threads: Run works on the calling thread (the progress dialog's worker); it touches no widget.
// The cancel flag is looked at after every picture, so a stop takes one picture's work.

#include "cli/ExportLayout.h"
#include "engine/CTimeList.h"
#include "util/naming/AviNameFormat.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tachy::viewer {

struct VideoExportRequest {
    std::vector<CTimeList> entries;           // the list's recordings (any order)
    std::vector<_AVI_NAME_FORMAT2> nameRules; // read the files' start times from their names
    std::int64_t fromMs = 0;                  // UTC
    std::int64_t toMs = 0;                    // UTC, after fromMs
    cli::ExportLayout::Kind layout = cli::ExportLayout::Kind::Front;
    bool overlay = false;
    std::filesystem::path target;
};

class VideoExport {
public:
    enum class Outcome { Written, Stopped, Failed };
    using Progress = std::function<void(std::int64_t doneMs, std::int64_t totalMs)>;

    explicit VideoExport(VideoExportRequest request);

    Outcome Run(const std::atomic<bool>& cancel, const Progress& progress);

    // Why the export failed (the exporter's words).
    const std::string& Error() const { return m_error; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Pictures() const { return m_pictures; }
    static std::filesystem::path Temporary(const std::filesystem::path& target);

private:
    bool Publish(const std::filesystem::path& temporary);

    VideoExportRequest m_request;
    std::string m_error;
    int m_width = 0;
    int m_height = 0;
    int m_pictures = 0;
};

} // namespace tachy::viewer
