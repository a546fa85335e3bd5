#pragma once
// Combines the cameras of a span into one MP4: the front camera's pictures set the clock (one
// exported picture per front picture inside the span, at its own time), each other camera
// shows its last picture at or before that time, laid out by ExportLayout; the front camera's
// sound inside the span goes along as AAC.

#include "cli/ClipBuilder.h"
#include "cli/ExportLayout.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tachy::cli {

class EstimatedProgress;

class VideoExporter {
public:
    // `cameras[0]` is the front camera; cameras without recordings are left out before.
    VideoExporter(std::vector<std::vector<ClipSource>> cameras, ExportLayout::Kind layout,
                  int cellHeight);

    void SetProgress(EstimatedProgress* progress) { m_progress = progress; }
    // Told after each exported picture how far the work is (milliseconds of the span done and in
    // all), and with 0 done after each picture decoded on the way to the span's start; answering
    // false stops the export, which then fails with `Stopped()` true. Called on the exporting
    // thread.
    using Observer = std::function<bool(std::int64_t doneMs, std::int64_t totalMs)>;
    void SetObserver(Observer observer) { m_observer = std::move(observer); }
    bool Stopped() const { return m_stopped; }
    // Draws the time, speed and position of the front camera's driving data on each picture.
    void SetOverlay(bool overlay) { m_overlay = overlay; }
    // False, with `error` set, when no picture lies in the span or a file cannot be read or
    // written.
    bool Export(std::int64_t fromMs, std::int64_t toMs, const std::filesystem::path& output,
                std::string& error);

    int Pictures() const { return m_pictures; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool WithSound() const { return m_withSound; }

private:
    std::vector<std::vector<ClipSource>> m_cameras;
    ExportLayout::Kind m_layout;
    int m_cellHeight = 0;
    bool m_overlay = false;
    EstimatedProgress* m_progress = nullptr;
    Observer m_observer;
    bool m_stopped = false;
    int m_pictures = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_withSound = false;
};

} // namespace tachy::cli
