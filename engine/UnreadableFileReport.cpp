#include "engine/UnreadableFileReport.h"

#include "platform/fs/DirectoryListing.h"
#include "platform/text/CaseFold.h"
#include "util/avi/CAviParser2.h"

#include <algorithm>
#include <fstream>

namespace {

// The recording parser needs this many bytes before it looks for "RIFF".
constexpr std::uintmax_t kShortestRecording = 200;
constexpr std::size_t kRiffSearch = 184;

bool isStreamFile(const std::string& name) {
    if (name.size() < 4) {
        return false;
    }
    const std::string extension = tachy::text::foldCase(name.substr(name.size() - 4));
    return extension == ".avi" || extension == ".av2";
}

// "RIFF" followed 8 bytes later by "AVI " within the first bytes, where the parser looks.
bool hasAviHeader(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(kRiffSearch + 12, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    for (std::size_t at = 0; at < kRiffSearch && at + 12 <= head.size(); ++at) {
        if (head.compare(at, 4, "RIFF") == 0 && head.compare(at + 8, 4, "AVI ") == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

UnreadableFileReport::UnreadableFileReport(const std::filesystem::path& card,
                                           const std::vector<_AVI_NAME_FORMAT2>& rules)
    : m_rules(rules), m_parser(std::make_unique<CAviParser2>()) {
    int depth = 0;
    for (const auto& rule : rules) {
        depth = std::max(depth, rule.nSearchDepth);
    }
    Visit(card, depth);
}

UnreadableFileReport::~UnreadableFileReport() = default;

void UnreadableFileReport::Visit(const std::filesystem::path& folder, int depth) {
    for (const auto& entry : tachy::DirectoryListing::list(folder, "*.*")) {
        const std::filesystem::path path = folder / entry.name;
        if (entry.isDirectory) {
            if (depth > 0) {
                Visit(path, depth - 1);
            }
            continue;
        }
        if (!isStreamFile(entry.name)) {
            continue;
        }
        std::string reason = Reason(path, entry.size);
        if (!reason.empty()) {
            m_files.push_back({path, std::move(reason)});
        }
    }
}

std::string UnreadableFileReport::Reason(const std::filesystem::path& path, std::uintmax_t size) const {
    const std::string name = path.filename().string();
    const bool named = std::any_of(m_rules.begin(), m_rules.end(), [&name](const _AVI_NAME_FORMAT2& rule) {
        naming::StreamFileName fields;
        return naming::ParseName(rule, name, fields);
    });
    if (size < kShortestRecording) {
        return "too short to hold a recording (" + std::to_string(size) + " bytes)";
    }
    if (!hasAviHeader(path)) {
        return "not an AVI file (no RIFF AVI header at its start)";
    }
    // One parser for the whole report: each one sets aside megabytes of frame buffers, which
    // cost more than the parse itself on a card of thousands of files.
    CAviParser2& parser = *m_parser;
    const bool opened = parser.OpenStream(path.string(), 0) == 1;
    const bool video = opened && parser.OpenVideoStream(0) == 1 && parser.GetVideoLength() > 0;
    parser.CloseStream();
    if (!opened) {
        return "the recording parser cannot read its headers or index";
    }
    if (!video) {
        return "it holds no video frames";
    }
    return named ? std::string() : "its name follows none of the naming rules";
}

std::string UnreadableFileReport::Text(std::size_t maxLines) const {
    std::string text;
    const std::size_t shown = std::min(maxLines, m_files.size());
    for (std::size_t i = 0; i < shown; ++i) {
        text += m_files[i].path.string() + ": " + m_files[i].reason + "\n";
    }
    if (shown < m_files.size()) {
        text += "... and " + std::to_string(m_files.size() - shown) + " more\n";
    }
    return text;
}
