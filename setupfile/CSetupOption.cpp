#include "setupfile/CSetupOption.h"

#include "platform/profile/OptionProduct.h"

#include <algorithm>

namespace tachy::setupfile {
namespace {

// Each text value is read as into a 260-character buffer.
constexpr std::size_t kTextBufferChars = 260;

} // namespace

bool CSetupOption::Load(const std::filesystem::path& optionFolder) {
    const std::optional<tachy::OptionProduct> product = tachy::OptionProduct::load(optionFolder);
    if (!product) {
        return false;
    }
    const tachy::ProfileFile& file = product->file;
    const std::string& block = product->block;
    productId = product->productId;
    const auto text = [&](const char* key) {
        return file.readString(block, key, "", kTextBufferChars);
    };
    skinRootDir = text("SkinRootDir");
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
    return true;
}

std::filesystem::path CSetupOption::SettingsFolder(const std::filesystem::path& drive) const {
    std::filesystem::path folder = drive;
    if (!setupDir.empty()) {
        // Written for Windows, the value may separate its folders with backslashes.
        std::string relative = setupDir;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        folder /= std::filesystem::path(relative).relative_path();
    }
    return folder;
}

std::filesystem::path CSetupOption::SettingsFilePath(const std::filesystem::path& drive) const {
    return SettingsFolder(drive) / setupFileName;
}

SetupIdentity CSetupOption::Identity(int codePage) const {
    return {setupModelName, setupCompanyName, setupStructureVer, codePage};
}

} // namespace tachy::setupfile
