#pragma once
// The exit codes of every `tachy` command.

namespace tachy::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1; // the work could not be done (unreadable card, invalid file)
constexpr int kExitUsage = 2;   // the command line was wrong
// Work stopped by a signal ends with 128 + its number, as shells report it: 130 for Ctrl-C
// (SIGINT), 143 for SIGTERM.
constexpr int kExitSignalBase = 128;

} // namespace tachy::cli
