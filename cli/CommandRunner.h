#pragma once
// What every command does first: parse its words against its options, answer --help with its
// help on stdout, and report a wrong command line on stderr with exit code 2.

#include "cli/Arguments.h"

#include <optional>
#include <string>
#include <vector>

namespace tachy::cli {

// The parsed arguments, or the exit code to end with (help shown: 0; usage error: 2).
struct Prepared {
    std::optional<Arguments> arguments;
    int exitCode = 0;
};

Prepared Prepare(const char* command, const std::vector<std::string>& words, Arguments arguments,
                 std::size_t minimumOperands, std::size_t maximumOperands);

// "tachy COMMAND: message" on stderr; answers `exitCode`.
int Fail(const char* command, const std::string& message, int exitCode);

// The "_option" folder of --data or the installation, reporting on stderr when there is none.
std::optional<std::string> OptionFolderFor(const char* command, const Arguments& arguments);

} // namespace tachy::cli
