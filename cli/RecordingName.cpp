#include "cli/RecordingName.h"

#include "platform/fs/DirectoryListing.h"

namespace tachy::cli {

std::optional<RecordingName> ParseRecordingName(const std::filesystem::path& file,
                                                const std::filesystem::path& optionFolder) {
    for (const auto& rule : tachy::DirectoryListing::list(optionFolder, "FileNameRule_*.ini")) {
        const _AVI_NAME_FORMAT2 format = naming::ReadNameFormat(optionFolder / rule.name, 2);
        RecordingName name;
        if (naming::ParseName(format, file.filename().string(), name.fields)) {
            name.rule = rule.name;
            return name;
        }
    }
    return std::nullopt;
}

} // namespace tachy::cli
