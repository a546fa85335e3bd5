#include "viewer/app/COption.h"

#include "platform/profile/ProfileFile.h"

bool COption::Load(const std::filesystem::path& optionFolder) {
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
    const auto text = [&](const char* key, const char* fallback = "") { return file.readString(block, key, fallback); };
    skinRootDir = text("SkinRootDir");
    skinImageFileName = text("SkinImageFileName");
    skinInfoFileName = text("SkinInfoFileName");
    title = text("Title");
    setupName = text("SetupName");
    url = text("URL");
    langFolder = text("LangFolder");
    formatCluster = file.readInt(block, "FormatCluster", 32);
    showObd = file.readInt(block, "Show OBD", 1);
    setupTitle = text("SetupTitle");
    setupDir = text("SetupDir");
    setupFileName = text("SetupFileName");
    version = text("Version", "0.90");
    formatType = file.readInt(block, "FormatType", 0);
    logoSize = file.readInt(block, "logoSize", 0);
    gSensorRange = file.readInt(block, "GSenRange", 2);
    return true;
}
