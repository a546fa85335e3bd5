#include "platform/folders/ProgramFolder.h"

#include <system_error>

namespace tachy {

std::filesystem::path programFolderFor(const std::filesystem::path& executableFolder) {
    std::error_code error;
    if (std::filesystem::is_directory(executableFolder / "_option", error)) {
        return executableFolder;
    }
    const std::filesystem::path installed = executableFolder.parent_path() / "share" / "tachy";
    return std::filesystem::is_directory(installed / "_option", error) ? installed
                                                                       : executableFolder;
}

} // namespace tachy
