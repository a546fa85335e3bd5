#include "viewer/app/CTachyPlayerSetup.h"

#include "platform/folders/SpecialFolder.h"
#include "platform/profile/ProfileFile.h"
#include "util/CUtilReg.h"

#include <algorithm>

namespace {

constexpr const char* kSection = "Global";
constexpr std::size_t kPathChars = 260;
constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;

} // namespace

std::string CTachyPlayerSetup::ColorModeKey() const {
    return "software\\" + m_title + "\\tachyPlayer\\VideoCtrl";
}

void CTachyPlayerSetup::Load(const std::filesystem::path& appPath, const std::string& title) {
    m_file = appPath / "AppSetup.ini";
    m_title = title;
    const tachy::ProfileFile file = tachy::ProfileFile::load(m_file);
    nZoomMode = file.readInt(kSection, "Zoom Mode", 2);
    zoomCtrl = file.readInt(kSection, "Zoom Ctrl", 1);
    pipShow = file.readInt(kSection, "Zoom PIP Show", 1);
    pipPos = file.readInt(kSection, "Zoom PIP Pos", 1);
    searchDepth = file.readInt(kSection, "SearchDepth", 2);
    speedUnit = file.readInt(kSection, "Speed Unit", 0);
    brightness = file.readInt(kSection, "Brightness", 50);
    contrast = file.readInt(kSection, "Contrast", 50);
    // A hand-edited volume outside the control's range is brought back into it.
    volume = std::clamp(file.readInt(kSection, "Volume", 100), 0, 100);
    mute = file.readInt(kSection, "Mute", 0);
    latestPath = file.readString(kSection, "Latest File Path", "", kPathChars);
    if (latestPath.empty()) {
        latestPath = tachy::SpecialFolder::path(tachy::SpecialFolder::Kind::MyComputer).string();
    }
    latestBackupPath = file.readString(kSection, "Latest Backup Path", "", kPathChars);
    latestJpegPath = file.readString(kSection, "Latest JPEG Path", "", kPathChars);
    ReloadColorMode();
    m_loaded = true;
}

int CTachyPlayerSetup::ReloadColorMode() {
    CUtilReg registry;
    const std::uint32_t value = registry.ReadRegDWORD(ColorModeKey(), "ColorMode", kAbsent);
    colorMode = static_cast<int>(value);
    return colorMode;
}

bool CTachyPlayerSetup::Save() const {
    if (!m_loaded) {
        return false;
    }
    tachy::ProfileFile file = tachy::ProfileFile::load(m_file);
    const auto number = [&](const char* key, int value) { return file.writeString(kSection, key, std::to_string(value)); };
    bool ok = number("Zoom Mode", nZoomMode) && number("Zoom Ctrl", zoomCtrl) && number("Zoom PIP Show", pipShow) &&
              number("Zoom PIP Pos", pipPos) && number("SearchDepth", searchDepth) &&
              number("Speed Unit", speedUnit) && number("Brightness", brightness) && number("Contrast", contrast) &&
              number("Volume", volume) && number("Mute", mute);
    ok = ok && file.writeString(kSection, "Latest File Path", latestPath) &&
         file.writeString(kSection, "Latest Backup Path", latestBackupPath) &&
         file.writeString(kSection, "Latest JPEG Path", latestJpegPath);
    if (colorMode >= 0) {
        CUtilReg registry;
        ok = registry.WriteRegDWORD(ColorModeKey(), "ColorMode", static_cast<std::uint32_t>(colorMode)) != 0 && ok;
    }
    return ok;
}
