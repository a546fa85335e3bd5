#pragma once
// The installation's option file as the first-run wizard reads it: "Setting"/"Select" names the
// product block "AppInfo_<n>", like the viewer, but the skin root comes from "SkinRootPath", the
// viewer-only keys are left out and the settings program's model keys are read as well. Of all
// of it the wizard uses the title and the language folder.

#include <filesystem>
#include <string>

class CWizardOption {
public:
    // Reads `optionFolder`/option.ini; false when it is missing, has no "Select", or the block's
    // "Product ID" is negative (the file counts as missing then).
    bool Load(const std::filesystem::path& optionFolder);

    int productId = -1;
    std::string skinRootPath;
    std::string skinImageFileName;
    std::string skinInfoFileName;
    std::string title;
    std::string setupName;
    std::string url;
    std::string langFolder;
    int formatCluster = 32;
    std::string setupTitle;
    std::string setupDir;
    std::string setupFileName;
    std::string setupModelName;
    std::string setupCompanyName;
    std::string setupStructureVer;
    std::string viewerExe;
    int setupConfigType = 1;
};
