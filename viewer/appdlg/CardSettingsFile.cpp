#include "viewer/appdlg/CardSettingsFile.h"

#include <algorithm>
#include <system_error>

namespace viewer::appdlg {

namespace {

// "SetupDir" as a relative folder: separators made '/', leading and trailing ones dropped.
std::string RelativeFolder(std::string folder) {
    std::replace(folder.begin(), folder.end(), '\\', '/');
    const auto first = folder.find_first_not_of('/');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = folder.find_last_not_of('/');
    return folder.substr(first, last - first + 1);
}

} // namespace

CardSettingsFile CardSettingsFile::At(const std::filesystem::path& drive,
                                      const std::string& setupDir,
                                      const std::string& setupFileName) {
    const std::string folder = RelativeFolder(setupDir);
    CardSettingsFile file;
    if (folder.empty()) {
        file.plain = drive / setupFileName;
        file.hidden = drive / ("." + setupFileName);
    } else {
        file.plain = drive / folder / setupFileName;
        // Only the first folder of a nested "SetupDir" gets the dot, as the recorder writes it.
        file.hidden = drive / ("." + folder) / ("." + setupFileName);
    }
    return file;
}

std::filesystem::path CardSettingsFile::Existing() const {
    std::error_code error;
    if (std::filesystem::is_regular_file(plain, error)) {
        return plain;
    }
    if (std::filesystem::is_regular_file(hidden, error)) {
        return hidden;
    }
    return {};
}

} // namespace viewer::appdlg
