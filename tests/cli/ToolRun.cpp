#include "tests/cli/ToolRun.h"

#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace tachy::test {
namespace {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

ToolRun RunShell(const std::string& command) {
    const TempFolder folder;
    const std::filesystem::path errors = folder.path() / "stderr";
    ToolRun run;
    FILE* pipe = ::popen((command + " 2>" + Quoted(errors.string())).c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readAll(errors);
    return run;
}

ToolRun RunTachy(const std::vector<std::string>& arguments) {
    std::string command = Quoted(TACHY_TOOL);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    return RunShell(command + " </dev/null");
}

std::map<std::string, std::string> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), folder).string()] = readAll(entry.path());
        }
    }
    return files;
}

void MakeDriveCard(const std::filesystem::path& card, int recordKind) {
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = card;
    options.channels = 2;
    options.width = 64;
    options.height = 48;
    options.framesPerSecond = 10;
    options.keyInterval = 10;
    options.seconds = 90;
    options.periodSeconds = 30;
    options.modes = {"normal", "event"};
    options.recordKind = recordKind;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
}

} // namespace tachy::test
