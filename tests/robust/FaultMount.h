#pragma once
// A folder seen through tachy_faultfs for as long as the object lives: reads of chosen files, or
// every operation, fail with EIO as the test says through the control file.

#include "platform/process/Process.h"

#include <filesystem>
#include <string>

namespace tachy::robust {

class FaultMount {
public:
    // Mounts `source` at `mountPoint` (created when missing); Mounted() tells whether it worked.
    FaultMount(const std::filesystem::path& source, const std::filesystem::path& mountPoint,
               const std::filesystem::path& controlFile);
    ~FaultMount();
    FaultMount(const FaultMount&) = delete;
    FaultMount& operator=(const FaultMount&) = delete;

    bool Mounted() const { return m_mounted; }
    // Reads of `relative` (a path under the mount) fail from now on.
    void FailReads(const std::string& relative);
    // Every operation below the mount's root fails from now on, as on a card pulled out.
    void FailAll();

private:
    void AddRule(const std::string& line);

    std::filesystem::path m_mountPoint;
    std::filesystem::path m_controlFile;
    tachy::Process m_process;
    bool m_mounted = false;
};

// True when `path` is the mount point of a file system (a line of /proc/self/mountinfo).
bool isMountPoint(const std::filesystem::path& path);

} // namespace tachy::robust
