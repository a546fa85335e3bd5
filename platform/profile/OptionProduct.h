#pragma once
// The installation's option file, "option.ini" in the option folder, as the three programs open
// it: "Setting"/"Select" names the product block "AppInfo_<n>", and the block counts only when
// its "Product ID" is not negative. Each program then reads the block's keys it needs.

#include "platform/profile/ProfileFile.h"

#include <filesystem>
#include <optional>
#include <string>

namespace tachy {

struct OptionProduct {
    ProfileFile file;
    std::string block; // "AppInfo_<n>"
    int productId = -1;

    // The selected product of `optionFolder`/option.ini; none when the file is missing, has no
    // "Select", or the block's "Product ID" is negative (the file counts as missing then).
    static std::optional<OptionProduct> load(const std::filesystem::path& optionFolder);
};

} // namespace tachy
