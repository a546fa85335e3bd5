#pragma once
// The driving data of a card (every recording's front-camera file, in time order) or of one
// recording file, for the track export and the incident search.

#include "cli/DrivingTrack.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tachy::cli {

class Progress;

struct FileSamples {
    std::filesystem::path file;
    std::vector<DrivingSample> samples;
};

class TrackSource {
public:
    // Reads `source` (a card folder or a file). False, with `error` set, when it holds no
    // recording that could be read.
    bool Read(const std::filesystem::path& source, const std::filesystem::path& optionFolder,
              Progress& progress, std::string& error);

    const std::vector<FileSamples>& Files() const { return m_files; }

private:
    bool ReadCard(const std::filesystem::path& card, const std::filesystem::path& optionFolder,
                  Progress& progress, std::string& error);

    std::vector<FileSamples> m_files;
};

} // namespace tachy::cli
