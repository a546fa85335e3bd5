#include "viewer/appdlg/RecorderVersion.h"

#include "platform/text/CodePage.h"
#include "viewer/appdlg/CardSettingsFile.h"

#include <fstream>

namespace viewer::appdlg {

namespace {

constexpr std::size_t kSettingsHead = 1313;
constexpr std::size_t kVersionBytes = 32;
constexpr int kTextSettingsModel = 401;

// Model 401 keeps its settings as text lines; the first line with "ver=" carries the version
// from its fifth character on.
std::string VersionFromTextFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find("ver=") != std::string::npos) {
            return line.size() > 4 ? line.substr(4) : std::string();
        }
    }
    return {};
}

std::string VersionFromSettingsFile(const std::filesystem::path& path, int codePage) {
    std::ifstream file(path, std::ios::binary);
    std::string head(kSettingsHead, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    std::string version = head.substr(0, kVersionBytes);
    version = version.substr(0, version.find('\0'));
    return tachy::text::decodeCodePage(version, codePage);
}

} // namespace

std::string ReadRecorderVersion(const RecorderVersionSource& source) {
    if (source.loadedPath.empty() || source.setupFileName.empty()) {
        return {};
    }
    const CardSettingsFile card =
        CardSettingsFile::At(source.loadedPath, source.setupDir, source.setupFileName);
    if (source.productId == kTextSettingsModel) {
        // The text form sits in the hidden place when "SetupDir" is empty, else in the plain one.
        const std::filesystem::path path = source.setupDir.empty() ? card.hidden : card.plain;
        return VersionFromTextFile(path);
    }
    const std::filesystem::path path = card.Existing();
    return path.empty() ? std::string() : VersionFromSettingsFile(path, source.codePage);
}

} // namespace viewer::appdlg
