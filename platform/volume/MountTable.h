#pragma once
// The kernel's table of mounts (/proc/self/mountinfo): which file systems are mounted where, and
// from which device.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tachy {

struct MountEntry {
    unsigned major = 0; // device number of the mounted file system
    unsigned minor = 0;
    std::string root;       // the part of the file system mounted here
    std::string mountPoint; // with the kernel's octal escapes (\040 for a space) decoded
    std::string fileSystemType;
    std::string source; // the device or other source named by the mount
};

// Parses the text of a mountinfo file; malformed lines are skipped.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// Reads and parses a mountinfo file; empty when it cannot be read.
std::vector<MountEntry> readMountInfo(const std::filesystem::path& path);

// Decodes the kernel's octal escapes in a mountinfo field.
std::string decodeMountField(std::string_view field);

} // namespace tachy
