#pragma once
// Why a card lists nothing: the stream files ("*.avi", "*.av2") under a card folder that the
// catalogue could not list, each with the reason, for the viewer's message and the
// command-line player's report.

#include "util/naming/AviNameFormat.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CAviParser2;

class UnreadableFileReport {
public:
    struct File {
        std::filesystem::path path;
        std::string reason;
    };

    // Looks at every stream file under `card` down to the deepest search depth of `rules`;
    // files that the recording parser opens and whose names follow a rule are left out.
    UnreadableFileReport(const std::filesystem::path& card, const std::vector<_AVI_NAME_FORMAT2>& rules);
    ~UnreadableFileReport();
    UnreadableFileReport(const UnreadableFileReport&) = delete;
    UnreadableFileReport& operator=(const UnreadableFileReport&) = delete;

    const std::vector<File>& Files() const { return m_files; }
    // One line per file ("<path>: <reason>"), at most `maxLines` of them and a last line
    // that counts the rest.
    std::string Text(std::size_t maxLines) const;

private:
    void Visit(const std::filesystem::path& folder, int depth);
    std::string Reason(const std::filesystem::path& path, std::uintmax_t size) const;

    std::vector<_AVI_NAME_FORMAT2> m_rules;
    std::unique_ptr<CAviParser2> m_parser;  // used for every file in turn
    std::vector<File> m_files;
};
