#include "tests/wizard/WizardFixture.h"

#include "platform/folders/SpecialFolder.h"
#include "platform/registry/Registry.h"

namespace tachy::test {

std::string wizardOptionFile(const std::string& title, const std::string& langFolder) {
    return "[Setting]\r\nSelect=2\r\n[AppInfo_2]\r\nProduct ID=7\r\nTitle=" + title +
           "\r\nSkinRootDir=viewer-skin\r\nSkinRootPath=wizard-skin\r\nSkinImageFileName=images."
           "ini\r\n"
           "LangFolder=" +
           langFolder +
           "\r\nViewerExe=tachyPlayer\r\nSetupModelName=TACHY-700\r\nSetupCompanyName=TACHY\r\n"
           "SetupStructureVer=2.0\r\nSetupConfigType=3\r\nShow OBD=1\r\nVersion=1.20\r\n";
}

void copyLanguage(const std::filesystem::path& languageRoot, const std::string& name) {
    std::filesystem::create_directories(languageRoot / name);
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(TACHY_DATA_DIR) / "lang" / name)) {
        std::filesystem::copy(entry.path(), languageRoot / name / entry.path().filename(),
                              std::filesystem::copy_options::recursive);
    }
}

std::optional<std::uint32_t> storedColorMode(const std::string& title) {
    const Registry registry;
    return registry.readDword("software\\" + title + "\\tachyPlayer\\VideoCtrl", "ColorMode");
}

std::filesystem::path viewerSettingsFile(const std::string& title) {
    return SpecialFolder::path(SpecialFolder::Kind::ApplicationData) / title / "AppSetup.ini";
}

} // namespace tachy::test
