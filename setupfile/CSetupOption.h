#pragma once
// The settings program's keys of the installation's option.ini ("_option/option.ini"): which
// page it shows, where the settings file lives on the card and what that file must say.

#include "setupfile/SetupIdentity.h"

#include <filesystem>
#include <string>

namespace tachy::setupfile {

class CSetupOption {
public:
    // Reads `optionFolder`/option.ini. False when the file is missing or "Select" or the block's
    // "Product ID" is negative; the remaining keys are then not read.
    bool Load(const std::filesystem::path& optionFolder);

    // The settings file on the card mounted at `drive`: drive, "SetupDir", "SetupFileName".
    std::filesystem::path SettingsFilePath(const std::filesystem::path& drive) const;
    // The folder of that file (the card root when "SetupDir" is empty).
    std::filesystem::path SettingsFolder(const std::filesystem::path& drive) const;
    // What the settings file must carry, in the given ANSI code page.
    SetupIdentity Identity(int codePage) const;

    int productId = -1;
    std::string skinRootDir;
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
};

} // namespace tachy::setupfile
