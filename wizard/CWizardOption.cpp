#include "wizard/CWizardOption.h"

#include "platform/profile/ProfileFile.h"

bool CWizardOption::Load(const std::filesystem::path& optionFolder) {
    const tachy::ProfileFile file = tachy::ProfileFile::load(optionFolder / "option.ini");
    if (!file.exists()) {
        return false;
    }
    const int select = file.readInt("Setting", "Select", -1);
    if (select < 0) {
        return false;
    }
    const std::string block = "AppInfo_" + std::to_string(select);
    productId = file.readInt(block, "Product ID", -1);
    if (productId < 0) {
        return false;
    }
    const auto text = [&](const char* key) { return file.readString(block, key, ""); };
    skinRootPath = text("SkinRootPath");
    skinImageFileName = text("SkinImageFileName");
    skinInfoFileName = text("SkinInfoFileName");
    title = text("Title");
    setupName = text("SetupName");
    url = text("URL");
    langFolder = text("LangFolder");
    formatCluster = file.readInt(block, "FormatCluster", 32);
    setupTitle = text("SetupTitle");
    setupDir = text("SetupDir");
    setupFileName = text("SetupFileName");
    setupModelName = text("SetupModelName");
    setupCompanyName = text("SetupCompanyName");
    setupStructureVer = text("SetupStructureVer");
    viewerExe = text("ViewerExe");
    setupConfigType = file.readInt(block, "SetupConfigType", 1);
    return true;
}
