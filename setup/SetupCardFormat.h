#pragma once
// The settings program's formats of the card: FAT32 with the system formatter on a worker thread
// while a box with "format running" stands in front of the dialog. The settings file,
// "timeset.txt" and "reset.txt" (whichever the card holds) are kept in the work folder, written
// back after the format, read back and compared; a copy whose file did not come back stays there.

#include "platform/volume/SystemFormatter.h"
#include "platform/volume/VolumeTarget.h"
#include "viewer/appdlg/CardFormatFlow.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

class CExLangManager;
class QWidget;

namespace tachy::setupfile {
class CSetupOption;
}

// What is formatted for the card and with what.
struct SetupFormatTarget {
    std::string volume; // empty: the card's drive itself (its mount point)
    tachy::VolumeEnvironment environment;
    tachy::SystemFormatter formatter;
};

class SetupCardFormat {
public:
    // Cards smaller than this are formatted with 16 KiB clusters whatever the option file says.
    static constexpr std::uint64_t kLargeCardBytes = 6442450944ull;
    static constexpr std::uint32_t kSmallCardClusterBytes = 16384;
    static constexpr std::uint32_t kAfterSaveClusterBytes = 32768;

    // `option` is borrowed and outlives this object.
    SetupCardFormat(const tachy::setupfile::CSetupOption& option, std::filesystem::path drive,
                    std::filesystem::path workFolder, SetupFormatTarget target);

    const std::string& Volume() const { return m_volume; }
    // Size (0 when it cannot be read) and present label of the card.
    viewer::appdlg::CardFacts Facts() const;
    // The format button's cluster size for a card of `totalBytes`.
    std::uint32_t ButtonClusterBytes(std::uint64_t totalBytes) const;

    // Formats with the files kept; `label` unset keeps the card's present label, and
    // `settingsFile` is written as the settings file afterwards instead of the bytes found.
    // `language` gives the running box's text; `parent` is disabled behind it.
    viewer::appdlg::CardFormatReport Run(const CExLangManager& language, QWidget* parent,
                                         std::uint32_t clusterBytes,
                                         const std::optional<std::string>& label,
                                         const std::optional<std::string>& settingsFile) const;

private:
    const tachy::setupfile::CSetupOption& m_option;
    std::filesystem::path m_drive;
    std::string m_volume;
    viewer::appdlg::CardFormatSetup m_setup;
};
