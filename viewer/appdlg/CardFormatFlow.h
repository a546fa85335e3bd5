#pragma once
// Formats a memory card FAT32 and keeps the recorder's files across the format: the settings file
// (plain form first, then hidden) and any further files the caller names are copied into the
// user's work folder before anything is written, the card is formatted with the system formatter
// or with CFat32Format, and each file is written back in the form it had and read back. A copy is
// deleted only once the card holds its file again; when a write-back fails the copy stays and the
// report names it.

#include "platform/volume/SystemFormatter.h"
#include "platform/volume/VolumeTarget.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace viewer::appdlg {

class CardFiles;

// What every format run of one viewer shares.
struct CardFormatSetup {
    std::string setupDir;             // the option file's "SetupDir"
    std::string setupFileName;        // the option file's "SetupFileName"
    std::filesystem::path workFolder; // where the settings file is kept while the card is formatted
    tachy::VolumeEnvironment environment;
    tachy::SystemFormatter formatter;
    std::uint32_t imageSectorSize = 512;
};

// A file kept across the format, by its path from the card's root.
struct CardKeptFile {
    std::filesystem::path plain;
    std::filesystem::path hidden; // its hidden form, looked for when the plain one is absent
};

struct CardFormatRequest {
    std::string drive; // a mount point, a block device or an image file
    bool keepSettingsFile = true;
    std::vector<CardKeptFile> otherFiles; // kept besides the settings file, when present
    // Written as the settings file after the format (in the form found, else plain) instead of
    // the bytes the card held; the bytes found are still kept until this is on the card.
    std::optional<std::string> settingsFileAfterFormat;
    std::optional<std::string> label; // the new volume label; unset: the card's present one
    int formatType = 0;               // 0: the system formatter; 1: CFat32Format
    std::uint32_t clusterBytes = 0;   // format type 0; 0 leaves the choice to the formatter
    int sectorsPerCluster = 0;        // format type 1; 0 chooses by size
};

enum class CardFormatResult {
    Formatted,       // formatted, and a kept settings file is on the card again
    TooLarge,        // the format failed on a card too large for the format type
    Failed,          // the format failed
    Refused,         // nothing was done: the volume is no card that may be formatted
    CopyNotSaved,    // nothing was done: the settings file could not be kept in the work folder
    WriteBackFailed, // formatted, but the settings file is only in the kept copy
};

// What became of one kept file.
struct CardKeptFileReport {
    std::filesystem::path path;     // on the card, in the form found (or written)
    bool found = false;             // the card held it before the format
    bool written = false;           // on the card after the format and read back equal
    std::filesystem::path keptCopy; // its copy left in the work folder; empty once removed
};

struct CardFormatReport {
    CardFormatResult result = CardFormatResult::Failed;
    std::string error; // the platform's or the formatter's reason
    bool settingsFileFound = false;
    std::filesystem::path keptCopy; // the settings file's copy in the work folder (WriteBackFailed,
                                    // CopyNotSaved, or a failed format that may have taken it)
    std::vector<CardKeptFileReport> files; // the settings file first, then the other files
    std::filesystem::path keptFolder;      // the work-folder folder of copies left; empty when none
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
    std::filesystem::path CopyFolder() const;
    // The settings file (when kept or replaced) first, then the request's other files.
    std::vector<CardKeptFile> KeptFiles(const CardFormatRequest& request) const;
    bool WithSettingsFile(const CardFormatRequest& request) const;
    // Reads the files the card holds and copies them into one new work-folder folder; false,
    // with the reason in the report, when a copy cannot be made and read back equal.
    bool KeepCopies(const CardFormatRequest& request, const std::vector<CardKeptFile>& files,
                    std::vector<std::string>& contents, CardFormatReport& report) const;
    void WriteBack(const CardFiles& after, const std::vector<CardKeptFile>& files,
                   const std::vector<std::string>& contents, const CardFormatRequest& request,
                   CardFormatReport& report) const;

    CardFormatSetup m_setup;
};

} // namespace viewer::appdlg
