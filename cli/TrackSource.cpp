#include "cli/TrackSource.h"

#include "cli/CardCatalogue.h"
#include "cli/Progress.h"
#include "cli/RecordingName.h"

namespace tachy::cli {

bool TrackSource::Read(const std::filesystem::path& source,
                       const std::filesystem::path& optionFolder, Progress& progress,
                       std::string& error) {
    m_files.clear();
    if (std::filesystem::is_directory(source)) {
        return ReadCard(source, optionFolder, progress, error);
    }
    const auto name = ParseRecordingName(source, optionFolder);
    DrivingTrack track;
    if (!track.Read(source, name ? name->fields.timeMs : 0)) {
        error = "cannot read " + source.string() + " as a recording";
        return false;
    }
    m_files.push_back({source, track.Samples()});
    return true;
}

bool TrackSource::ReadCard(const std::filesystem::path& card,
                           const std::filesystem::path& optionFolder, Progress& progress,
                           std::string& error) {
    CardCatalogue catalogue;
    if (!catalogue.Scan(card, optionFolder, progress)) {
        error = "no recordings found in " + card.string();
        return false;
    }
    progress.Finish();
    Progress reading("reading driving data", progress.Shown());
    const auto total = static_cast<int>(catalogue.Entries().size());
    for (const CTimeList& entry : catalogue.Entries()) {
        for (const std::string& file : entry.m_fileList[0]) {
            DrivingTrack track;
            if (track.Read(file, entry.m_llStartTime[0])) {
                m_files.push_back({file, track.Samples()});
            }
        }
        reading.Step(total);
    }
    if (m_files.empty()) {
        error = "no recording of " + card.string() + " could be read";
        return false;
    }
    return true;
}

} // namespace tachy::cli
