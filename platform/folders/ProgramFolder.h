#pragma once
// Where a program of the suite finds its data ("_option", the skin, the languages, the map page)
// and its companion programs, in the build tree and once installed.

#include <filesystem>

namespace tachy {

// The folder that holds "_option": the executable's own folder when it has one (the build tree
// copies the data beside the programs), else "<executable>/../share/tachy" when that has one
// (after installation), else the executable's folder, so that the message about the missing
// option file names a place.
std::filesystem::path programFolderFor(const std::filesystem::path& executableFolder);

} // namespace tachy
