#include "skinres/SkinLookupLog.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<bool> recording{false};

struct Log {
    std::mutex mutex;
    std::set<SkinLookupLog::Entry> entries;  // guarded by mutex
};

Log& log() {
    static Log instance;
    return instance;
}

} // namespace

void SkinLookupLog::SetRecording(bool on) {
    recording.store(on, std::memory_order_relaxed);
}

void SkinLookupLog::Record(Kind kind, const QString& name) {
    if (!recording.load(std::memory_order_relaxed)) {
        return;
    }
    Log& shared = log();
    const std::lock_guard<std::mutex> guard(shared.mutex);
    shared.entries.emplace(kind, name);
}

std::set<SkinLookupLog::Entry> SkinLookupLog::Recorded() {
    Log& shared = log();
    const std::lock_guard<std::mutex> guard(shared.mutex);
    return shared.entries;
}
