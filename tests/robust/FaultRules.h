#pragma once
// Which operations the failing file system refuses: read from a control file that the test
// rewrites while the file system is mounted. Each line is one rule:
//   read PATH   reads of the file PATH (relative to the mount, "normal/A.avi") fail with EIO
//   all         every operation on everything below the mount's root fails with EIO, as on a
//               card that is pulled out or goes bad while it is used
// The file is read again whenever its modification time or size changes.

#include <ctime>
#include <mutex>
#include <set>
#include <string>

class FaultRules {
public:
    explicit FaultRules(std::string controlFile);

    // True when reading `path` (as the file system names it: "/normal/A.avi") must fail.
    bool FailsRead(const std::string& path);
    // True when any operation on `path` must fail (the root itself keeps answering, so that
    // the mount can still be taken down).
    bool FailsAll(const std::string& path);
    // True while every operation fails: listing a folder fails then, the root's included.
    bool FailsListing();

private:
    void Refresh();

    std::string m_controlFile;
    std::mutex m_mutex;
    std::timespec m_seen{};
    long long m_seenSize = -1;
    std::set<std::string> m_failingReads; // guarded by m_mutex
    bool m_failAll = false;               // guarded by m_mutex
};
