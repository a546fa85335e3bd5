#include "viewer/exports/TrackExport.h"

#include "cli/DrivingTrack.h"

#include <algorithm>
#include <fstream>

namespace tachy::viewer {

TrackExport::TrackExport(std::vector<CTimeList> entries, cli::TrackWriter::Format format,
                         std::filesystem::path target)
    : m_entries(std::move(entries)), m_format(format), m_target(std::move(target)) {
    // The rows come in the list's order, which the user may have sorted otherwise.
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const CTimeList& a, const CTimeList& b) {
                         return a.m_llStartTime[0] < b.m_llStartTime[0];
                     });
}

std::filesystem::path TrackExport::Temporary(const std::filesystem::path& target) {
    return target.string() + ".part";
}

TrackExport::Outcome TrackExport::Run(const std::atomic<bool>& cancel, const Progress& progress) {
    std::int64_t total = 1; // the writing itself is the last step
    for (const CTimeList& entry : m_entries) {
        total += static_cast<std::int64_t>(entry.m_fileList[0].size());
    }
    std::vector<cli::FileSamples> files;
    std::int64_t done = 0;
    m_points = 0;
    for (const CTimeList& entry : m_entries) {
        for (const std::string& file : entry.m_fileList[0]) {
            if (cancel) {
                return Outcome::Stopped;
            }
            cli::DrivingTrack track;
            if (track.Read(file, entry.m_llStartTime[0])) {
                m_points += static_cast<int>(
                    std::count_if(track.Samples().begin(), track.Samples().end(),
                                  [](const cli::DrivingSample& s) { return s.hasPosition; }));
                files.push_back({file, track.Samples()});
            }
            progress(++done, total);
        }
    }
    if (m_points == 0) {
        return Outcome::NoPositions;
    }
    if (cancel) {
        return Outcome::Stopped;
    }
    if (!Write(files)) {
        return Outcome::Failed;
    }
    progress(total, total);
    return Outcome::Written;
}

bool TrackExport::Write(const std::vector<cli::FileSamples>& files) const {
    const std::filesystem::path temporary = Temporary(m_target);
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        cli::TrackWriter::Write(m_format, files, out);
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, m_target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

} // namespace tachy::viewer
