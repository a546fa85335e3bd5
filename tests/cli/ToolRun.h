#pragma once
// Runs the real `tachy` binary with arguments (each quoted for the shell) and keeps its exit
// code, standard output and standard error; and the sample cards the tool's tests work on.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tachy::test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTachy(const std::vector<std::string>& arguments);
// Runs a shell command; its exit code, stdout and stderr.
ToolRun RunShell(const std::string& command);

// Every file under `folder` with its bytes, by path relative to the folder.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder);

// A card of mkcard's simulated drive: rule A, two cameras, 64x48 at 10 frames per second,
// 90 seconds in three 30-second recordings (normal, event, normal), driving-data records of
// `recordKind` bytes (72: binary GPS records; 400: NMEA text records).
void MakeDriveCard(const std::filesystem::path& card, int recordKind);

constexpr std::int64_t kCardStartMs = 1709211909000LL; // 2024-02-29 13:05:09 UTC

} // namespace tachy::test
