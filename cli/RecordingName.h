#pragma once
// What a recording file's name says (channel, file number, start time, record mode), read with
// the first naming rule of the installation that the name follows.

#include "util/naming/AviNameFormat.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tachy::cli {

struct RecordingName {
    naming::StreamFileName fields;
    std::string rule; // the rule file's name
};

std::optional<RecordingName> ParseRecordingName(const std::filesystem::path& file,
                                                const std::filesystem::path& optionFolder);

} // namespace tachy::cli
