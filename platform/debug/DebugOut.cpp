#include "platform/debug/DebugOut.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace tachy {
namespace {

struct SinkState {
    std::mutex mutex;
    DebugOut::Sink sink;  // protected by mutex; empty means the default sink
};

SinkState& state() {
    static SinkState instance;
    return instance;
}

bool debugEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("TACHY_DEBUG");  // NOLINT(concurrency-mt-unsafe)
        return value != nullptr && std::strcmp(value, "1") == 0;
    }();
    return enabled;
}

} // namespace

void DebugOut::write(std::string_view line) {
    SinkState& shared = state();
    const std::lock_guard<std::mutex> guard(shared.mutex);
    if (shared.sink) {
        shared.sink(line);
    } else if (debugEnabled()) {
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
}

void DebugOut::printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (length > 0) {
        line.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(line.data(), line.size(), format, arguments);
        line.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
    write(line);
}

DebugOut::Sink DebugOut::setSink(Sink sink) {
    SinkState& shared = state();
    const std::lock_guard<std::mutex> guard(shared.mutex);
    Sink previous = std::move(shared.sink);
    shared.sink = std::move(sink);
    return previous;
}

} // namespace tachy
