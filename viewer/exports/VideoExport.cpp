#include "viewer/exports/VideoExport.h"

#include "cli/SpanCameras.h"
#include "cli/VideoExporter.h"

#include <optional>

namespace tachy::viewer {
namespace {

// The start of a recording file by the first naming rule its name follows.
cli::SpanCameras::StartOf StartByRules(const std::vector<_AVI_NAME_FORMAT2>& rules) {
    return [&rules](const std::filesystem::path& file) -> std::optional<std::int64_t> {
        for (const _AVI_NAME_FORMAT2& rule : rules) {
            naming::StreamFileName name;
            if (naming::ParseName(rule, file.filename().string(), name)) {
                return name.timeMs;
            }
        }
        return std::nullopt;
    };
}

// Whether the recordings hold every camera in one file (".av2").
bool AllCamerasInOneFile(const std::vector<CTimeList>& entries) {
    for (const CTimeList& entry : entries) {
        for (const std::string& file : entry.m_fileList[0]) {
            return std::filesystem::path(file).extension() == ".av2";
        }
    }
    return false;
}

} // namespace

VideoExport::VideoExport(VideoExportRequest request) : m_request(std::move(request)) {}

std::filesystem::path VideoExport::Temporary(const std::filesystem::path& target) {
    return target.string() + ".part";
}

VideoExport::Outcome VideoExport::Run(const std::atomic<bool>& cancel, const Progress& progress) {
    auto cameras = cli::SpanCameras::Of(m_request.entries, StartByRules(m_request.nameRules),
                                        AllCamerasInOneFile(m_request.entries), m_request.fromMs,
                                        m_request.toMs);
    if (cameras.front().empty()) {
        m_error = "no recording of the front camera lies in the span";
        return Outcome::Failed;
    }
    cli::VideoExporter exporter(std::move(cameras), m_request.layout, 0);
    exporter.SetOverlay(m_request.overlay);
    exporter.SetObserver([&cancel, &progress](std::int64_t doneMs, std::int64_t totalMs) {
        progress(doneMs, totalMs);
        return !cancel;
    });
    const std::filesystem::path temporary = Temporary(m_request.target);
    const bool exported =
        !cancel && exporter.Export(m_request.fromMs, m_request.toMs, temporary, m_error);
    m_width = exporter.Width();
    m_height = exporter.Height();
    m_pictures = exporter.Pictures();
    if (!exported) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return cancel || exporter.Stopped() ? Outcome::Stopped : Outcome::Failed;
    }
    return Publish(temporary) ? Outcome::Written : Outcome::Failed;
}

bool VideoExport::Publish(const std::filesystem::path& temporary) {
    std::error_code error;
    std::filesystem::rename(temporary, m_request.target, error);
    if (error) {
        m_error = "cannot write " + m_request.target.string() + ": " + error.message();
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace tachy::viewer
