#pragma once
// The exit codes of every `tachy` command.

namespace tachy::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the work could not be done (unreadable card, invalid file)
constexpr int kExitUsage = 2;   // the command line was wrong

} // namespace tachy::cli
