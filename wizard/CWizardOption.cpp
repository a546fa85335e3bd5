#include "wizard/CWizardOption.h"

#include "platform/profile/OptionProduct.h"

bool CWizardOption::Load(const std::filesystem::path& optionFolder) {
    const std::optional<tachy::OptionProduct> product = tachy::OptionProduct::load(optionFolder);
    if (!product) {
        return false;
    }
    const tachy::ProfileFile& file = product->file;
    const std::string& block = product->block;
    productId = product->productId;
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
