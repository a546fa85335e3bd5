#pragma once
// Shell commands for the benchmarks that time our programs against others: the output of a
// command, and a card made by mkcard for the run.

#include <cstdio>
#include <filesystem>
#include <string>

namespace tachy::bench {

// What the command writes to its standard output (redirect its errors there to have them too).
inline std::string runCommand(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t got = 0;
    while (pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return output;
}

// A card at `card` made by `mkcard` with naming rule A from `dataFolder` and `options` (e.g.
// "--channels 2 --seconds 60"); says what mkcard said when it made none.
inline bool makeCard(const std::string& mkcard, const std::filesystem::path& dataFolder,
                     const std::filesystem::path& card, const std::string& options) {
    const auto rule = dataFolder / "_option" / "FileNameRule_A.ini";
    const std::string output = runCommand(mkcard + " --rule '" + rule.string() + "' --out '" +
                                          card.string() + "' " + options + " 2>&1");
    if (!std::filesystem::is_directory(card / "normal")) {
        std::fprintf(stderr, "bench: mkcard made no card:\n%s", output.c_str());
        return false;
    }
    return true;
}

} // namespace tachy::bench
