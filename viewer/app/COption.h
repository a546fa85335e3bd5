#pragma once
// The installation's option file ("option.ini" in the option folder), read once at start and
// never written by the viewer: "Setting"/"Select" names the product block "AppInfo_<n>".

#include <filesystem>
#include <string>

class COption {
public:
    // Reads `optionFolder`/option.ini; false when it is missing, has no "Select", or the block's
    // "Product ID" is negative (the file counts as missing then).
    bool Load(const std::filesystem::path& optionFolder);

    int productId = -1;
    std::string skinRootDir;
    std::string skinImageFileName;
    std::string skinInfoFileName;
    std::string title;
    std::string setupName;
    std::string url;
    std::string langFolder;
    int formatCluster = 32;
    int showObd = 1;
    std::string setupTitle;
    std::string setupDir;
    std::string setupFileName;
    std::string version = "0.90";
    int formatType = 0;
    int logoSize = 0;
    int gSensorRange = 2;
};
