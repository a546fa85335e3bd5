#pragma once
// The suite's diagnostic output: one process-wide sink that receives English lines ending in a
// line feed. By default the lines go to stderr when TACHY_DEBUG=1 and nowhere otherwise; tests
// install their own sink to read them.

#include <functional>
#include <string_view>

namespace tachy {

class DebugOut {
public:
    using Sink = std::function<void(std::string_view line)>;

    static void write(std::string_view line);
    static void printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Installs a sink (an empty one restores the default) and returns the previous one.
    // The sink is called under a lock, one line at a time, from any thread.
    static Sink setSink(Sink sink);
};

} // namespace tachy
