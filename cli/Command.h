#pragma once
// One `tachy` command: its name, a one-line summary for the overview, its full help and the
// function that runs it on the words after its name (answering the exit code).

#include <string>
#include <vector>

namespace tachy::cli {

struct Command {
    const char* name;
    const char* summary;
    const char* help;
    int (*run)(const std::vector<std::string>& words);
};

// Every command, in the order the overview lists them.
const std::vector<Command>& Commands();

int RunList(const std::vector<std::string>& words);
int RunInfo(const std::vector<std::string>& words);
int RunTrack(const std::vector<std::string>& words);
int RunEvents(const std::vector<std::string>& words);
int RunRepair(const std::vector<std::string>& words);
int RunSettings(const std::vector<std::string>& words);
int RunTimeset(const std::vector<std::string>& words);
int RunFormatImage(const std::vector<std::string>& words);
int RunClip(const std::vector<std::string>& words);
int RunExport(const std::vector<std::string>& words);

} // namespace tachy::cli
