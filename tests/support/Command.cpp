#include "tests/support/Command.h"

#include <cstdio>

namespace tachy::test {

std::string runCommand(const std::string& command, bool* ok) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (ok != nullptr) {
            *ok = false;
        }
        return output;
    }
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    if (ok != nullptr) {
        *ok = status == 0;
    }
    return output;
}

} // namespace tachy::test
