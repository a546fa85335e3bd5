#pragma once
// The viewer's own preferences: "AppSetup.ini" (section "Global") in the per-user application
// folder, and the colour mode in the registry. Saving does nothing until they were loaded.

#include <filesystem>
#include <string>

class CTachyPlayerSetup {
public:
    void Load(const std::filesystem::path& appPath, const std::string& title);
    bool Save() const;
    bool IsLoaded() const { return m_loaded; }
    // Reads only the colour mode again (after the first-run wizard has set it).
    int ReloadColorMode();

    int nZoomMode = 2;
    int zoomCtrl = 1;
    int pipShow = 1;
    int pipPos = 1;
    int searchDepth = 2;
    int speedUnit = 0;
    int brightness = 50;
    int contrast = 50;
    int volume = 100;
    int mute = 0;
    std::string latestPath;
    std::string latestBackupPath;
    std::string latestJpegPath;
    int colorMode = -1;  // -1: absent

private:
    std::string ColorModeKey() const;

    bool m_loaded = false;
    std::filesystem::path m_file;
    std::string m_title;
};
