#pragma once
// What every command does first: parse its words against its options, answer --help with its
// help on stdout, and report a wrong command line on stderr with exit code 2.

#include "cli/Arguments.h"

#include <optional>
#include <string>
#include <vector>

namespace tachy::cli {

class Interruption;
class StagedOutput;

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

// The end of a command that wrote `output`. Interrupted: the temporary file removed, "tachy
// COMMAND: interrupted; TARGET was not written" and 128 + the signal; failed (`done` false):
// the temporary file removed, `error` and exit code 1; else the file takes the target's place
// and the answer is 0.
int FinishOutput(const char* command, bool done, const std::string& error, StagedOutput& output,
                 const Interruption& interruption);

} // namespace tachy::cli
