#pragma once
// Formats a memory card FAT32 and keeps the recorder's settings file across the format: the file
// (plain form first, then hidden) is copied into the user's work folder before anything is
// written, the card is formatted with the system formatter or with CFat32Format, and the file is
// written back in the form it had and read back. The copy is deleted only once the card holds
// the file again; when the write-back fails the copy stays and the report names it.

#include "platform/volume/SystemFormatter.h"
#include "platform/volume/VolumeTarget.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace viewer::appdlg {

// What every format run of one viewer shares.
struct CardFormatSetup {
    std::string setupDir;             // the option file's "SetupDir"
    std::string setupFileName;        // the option file's "SetupFileName"
    std::filesystem::path workFolder; // where the settings file is kept while the card is formatted
    tachy::VolumeEnvironment environment;
    tachy::SystemFormatter formatter;
    std::uint32_t imageSectorSize = 512;
};

struct CardFormatRequest {
    std::string drive; // a mount point, a block device or an image file
    bool keepSettingsFile = true;
    int formatType = 0;             // 0: the system formatter; 1: CFat32Format
    std::uint32_t clusterBytes = 0; // format type 0; 0 leaves the choice to the formatter
    int sectorsPerCluster = 0;      // format type 1; 0 chooses by size
};

enum class CardFormatResult {
    Formatted,       // formatted, and a kept settings file is on the card again
    TooLarge,        // the format failed on a card too large for the format type
    Failed,          // the format failed
    Refused,         // nothing was done: the volume is no card that may be formatted
    CopyNotSaved,    // nothing was done: the settings file could not be kept in the work folder
    WriteBackFailed, // formatted, but the settings file is only in the kept copy
};

struct CardFormatReport {
    CardFormatResult result = CardFormatResult::Failed;
    std::string error; // the platform's or the formatter's reason
    bool settingsFileFound = false;
    std::filesystem::path keptCopy; // the copy in the work folder (WriteBackFailed, CopyNotSaved)
};

// What the card's boot sector says, read before it is formatted.
struct CardFacts {
    std::uint64_t totalBytes = 0;
    std::uint32_t sectorsPerCluster = 0; // of the present file system; 0 when there is none
    std::string label;                   // empty when it has none
};

class CardFormatFlow {
public:
    explicit CardFormatFlow(CardFormatSetup setup);

    // Size, cluster size and label of the card as it is now.
    CardFacts ReadFacts(const std::string& drive) const;
    CardFormatReport Run(const CardFormatRequest& request) const;

private:
    // Nothing when the volume may be formatted, else the reason.
    std::string Refusal(const std::string& drive, tachy::VolumeTarget* target) const;
    bool Format(const CardFormatRequest& request, const std::string& label,
                std::string* error) const;
    std::filesystem::path CopyPath() const;

    CardFormatSetup m_setup;
};

} // namespace viewer::appdlg
