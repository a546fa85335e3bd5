#pragma once
// Where the tool finds the installation's "_option" folder (naming rules, option.ini): the
// folder given with --data, beside the program (the build tree copies it there), under
// ../share/tachy after installation, or the source tree's data folder.

#include <filesystem>
#include <optional>
#include <string>

namespace tachy::cli {

// The "_option" folder; nothing when none exists.
std::optional<std::filesystem::path> OptionFolder(const std::optional<std::string>& dataFolder);

} // namespace tachy::cli
