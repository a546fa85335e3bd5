#include "cli/ProgramFolder.h"

namespace tachy::cli {

std::optional<std::filesystem::path> OptionFolder(const std::optional<std::string>& dataFolder) {
    std::error_code error;
    if (dataFolder) {
        const std::filesystem::path given = std::filesystem::path(*dataFolder) / "_option";
        if (std::filesystem::is_directory(given, error)) {
            return given;
        }
        return std::nullopt;
    }
    const std::filesystem::path self =
        std::filesystem::canonical("/proc/self/exe", error).parent_path();
    for (const auto& candidate : {self / "_option", self / ".." / "share" / "tachy" / "_option",
                                  std::filesystem::path(TACHY_DATA_DIR) / "_option"}) {
        if (std::filesystem::is_directory(candidate, error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

} // namespace tachy::cli
