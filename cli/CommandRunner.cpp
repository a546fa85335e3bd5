#include "cli/CommandRunner.h"

#include "cli/Command.h"
#include "cli/ExitCodes.h"
#include "cli/Interruption.h"
#include "cli/ProgramFolder.h"
#include "cli/StagedOutput.h"

#include <cstdio>
#include <cstring>

namespace tachy::cli {
namespace {

const Command* Find(const char* name) {
    for (const Command& command : Commands()) {
        if (std::strcmp(command.name, name) == 0) {
            return &command;
        }
    }
    return nullptr;
}

} // namespace

int Fail(const char* command, const std::string& message, int exitCode) {
    std::fprintf(stderr, "tachy %s: %s\n", command, message.c_str());
    if (exitCode == kExitUsage) {
        std::fprintf(stderr, "Try 'tachy %s --help'.\n", command);
    }
    return exitCode;
}

Prepared Prepare(const char* command, const std::vector<std::string>& words, Arguments arguments,
                 std::size_t minimumOperands, std::size_t maximumOperands) {
    Prepared prepared;
    std::string error;
    if (!arguments.Parse(words, error)) {
        prepared.exitCode = Fail(command, error, kExitUsage);
        return prepared;
    }
    if (arguments.WantsHelp()) {
        const Command* found = Find(command);
        std::fputs(found != nullptr ? found->help : "", stdout);
        prepared.exitCode = kExitOk;
        return prepared;
    }
    const std::size_t count = arguments.Positional().size();
    if (count < minimumOperands || count > maximumOperands) {
        prepared.exitCode = Fail(
            command, count < minimumOperands ? "missing operand" : "too many operands", kExitUsage);
        return prepared;
    }
    prepared.arguments = std::move(arguments);
    return prepared;
}

std::optional<std::string> OptionFolderFor(const char* command, const Arguments& arguments) {
    const auto folder = OptionFolder(arguments.Value("--data"));
    if (!folder) {
        Fail(command,
             "no _option folder (naming rules, option.ini) found; give one with --data DIR",
             kExitFailure);
        return std::nullopt;
    }
    return folder->string();
}

int FinishOutput(const char* command, bool done, const std::string& error, StagedOutput& output,
                 const Interruption& interruption) {
    if (interruption.Requested()) {
        output.Discard();
        return Fail(command, "interrupted; " + output.Target().string() + " was not written",
                    interruption.ExitCode());
    }
    if (!done) {
        output.Discard();
        return Fail(command, error, kExitFailure);
    }
    if (!output.Commit()) {
        return Fail(command, "cannot write " + output.Target().string(), kExitFailure);
    }
    return kExitOk;
}

} // namespace tachy::cli
