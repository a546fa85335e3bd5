#include "viewer/exports/RecordingFiles.h"

#include <algorithm>

namespace tachy::viewer {
namespace {

void appendOnce(std::vector<std::filesystem::path>& files, const std::filesystem::path& file) {
    if (std::find(files.begin(), files.end(), file) == files.end()) {
        files.push_back(file);
    }
}

} // namespace

std::vector<std::filesystem::path> RecordingFiles::OfEntry(const CTimeList& entry) {
    std::vector<std::filesystem::path> files;
    for (int channel = 0; channel < CTimeList::kChannels; ++channel) {
        const std::string path = entry.CurrentPath(channel);
        if (!path.empty()) {
            appendOnce(files, path);
        }
    }
    return files;
}

std::vector<std::filesystem::path>
RecordingFiles::OfEntries(const std::vector<CTimeList>& entries) {
    std::vector<std::filesystem::path> files;
    for (const CTimeList& entry : entries) {
        for (const auto& file : OfEntry(entry)) {
            appendOnce(files, file);
        }
    }
    return files;
}

} // namespace tachy::viewer
