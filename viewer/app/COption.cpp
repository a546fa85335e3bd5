#include "viewer/app/COption.h"

#include "platform/profile/OptionProduct.h"

bool COption::Load(const std::filesystem::path& optionFolder) {
    const std::optional<tachy::OptionProduct> product = tachy::OptionProduct::load(optionFolder);
    if (!product) {
        return false;
    }
    const tachy::ProfileFile& file = product->file;
    const std::string& block = product->block;
    productId = product->productId;
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
