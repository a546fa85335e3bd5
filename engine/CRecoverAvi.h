#pragma once
// Stream file repair during the card walk: in one folder, every ".avi" file whose name does not
// follow the name format (with one field of slack) is opened with the repair reader, its index
// rebuilt and written, and, when the recording was not finished, renamed by the name format so
// that the walk finds it; the recorder's "system_run" marker is removed. Every repair, rename
// and refusal is written to the recovery log.

#include "util/naming/AviNameFormat.h"

#include <filesystem>
#include <string>

class CRecoverAvi {
public:
    CRecoverAvi(const _AVI_NAME_FORMAT2& format, std::string logPath);

    // Repairs the files directly in `folder`; answers how many files were repaired. A renamed
    // file whose old name carries no record mode gets `folderMode`, the mode index of the
    // record-mode folder that holds it, so that it stays listed under that mode.
    int RepairFolder(const std::filesystem::path& folder, int folderMode = 0);

private:
    bool Repair(const std::filesystem::path& folder, const std::string& name, int folderMode);
    void Rename(const std::filesystem::path& path, const std::string& target);

    _AVI_NAME_FORMAT2 m_format;
    std::string m_logPath;
};
