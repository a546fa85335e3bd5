#pragma once
// Runs one of our programs as its own process with a bounded wait, for the damaged-card tests:
// its exit code, whether it had to be killed, and everything it wrote.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tachy::robust {

struct RunResult {
    int exitCode = -1;  // 128 + the signal number when a signal ended it
    bool hung = false;  // still running at the time limit, and killed
    std::string output; // standard output and error together
};

// Starts `program`, calls `meanwhile` (when given) with its process id, and waits at most
// `limit` for it to end.
RunResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::filesystem::path& outputFile, std::chrono::seconds limit,
                     const std::function<void(pid_t)>& meanwhile = {});

// Waits (at most `limit`) until process `pid` holds a file open under `folder`; false when it
// did not within the limit or ended first.
bool waitForOpenFileUnder(pid_t pid, const std::filesystem::path& folder,
                          std::chrono::milliseconds limit);

// Waits (at most `limit`) until `file` holds `text`.
bool waitForText(const std::filesystem::path& file, const std::string& text,
                 std::chrono::milliseconds limit);

} // namespace tachy::robust
