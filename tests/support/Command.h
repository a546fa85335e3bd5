#pragma once
// Runs a shell command (ffprobe, ffmpeg) and answers what it wrote to its standard output.

#include <string>

namespace tachy::test {

// `ok` (when given) tells whether the command exited with status 0.
std::string runCommand(const std::string& command, bool* ok = nullptr);

} // namespace tachy::test
