// tachy: the suite's command-line tool. Works on a recorder's card (or a folder of recordings)
// with the core libraries alone, no window system: listing, file figures, track export,
// incidents, repair, the settings and clock files and formatting card images.

#include "cli/Command.h"
#include "cli/ExitCodes.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Overview(std::FILE* out) {
    std::fputs("Usage: tachy COMMAND [ARGUMENTS] [OPTIONS]\n"
               "Works on a dash-camera card or a folder of its recordings.\n\nCommands:\n",
               out);
    for (const tachy::cli::Command& command : tachy::cli::Commands()) {
        std::fprintf(out, "  %-13s %s\n", command.name, command.summary);
    }
    std::fputs("\n'tachy COMMAND --help' describes a command and its options.\n"
               "Exit codes: 0 done, 1 failed, 2 wrong command line, 130 interrupted by Ctrl-C\n"
               "(143 by SIGTERM).\n",
               out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Overview(stderr);
        return tachy::cli::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        Overview(stdout);
        return tachy::cli::kExitOk;
    }
    const std::vector<std::string> words(argv + 2, argv + argc);
    for (const tachy::cli::Command& command : tachy::cli::Commands()) {
        if (name == command.name) {
            return command.run(words);
        }
    }
    std::fprintf(stderr, "tachy: unknown command '%s'\n\n", name.c_str());
    Overview(stderr);
    return tachy::cli::kExitUsage;
}
