#pragma once
// Reads recordings' driving data on a thread of its own: per job (one recording's front-camera
// files) the incidents its G-sensor data shows, with the default thresholds, and its trip
// figures. Jobs run in the order they were queued. Reading a card's worth of files takes
// seconds, so the window never waits for it: each result goes to the callback, on the scan's
// thread, as soon as it is known.
//
// Threads: Queue and Cancel from any thread; the queue and the stop flag are guarded by m_lock.
// The callback runs on the scan's thread without the lock held.

#include "cli/IncidentFinder.h"
#include "viewer/trip/TripFigures.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTimeList;

namespace viewer::trip {

struct DrivingScanJob {
    std::uint64_t generation = 0; // the caller's tag: results of older generations are stale
    std::string key;              // the caller's name for the recording
    std::vector<std::filesystem::path> files; // front-camera files in time order
    std::int64_t startMs = 0;  // the recording's start: times records that carry none
    std::int64_t lengthMs = 0; // the recording's length

    // A time-list entry's front-camera files; the key is its first file's path.
    static DrivingScanJob FromEntry(const CTimeList& entry, std::uint64_t generation);
};

struct DrivingScanResult {
    std::uint64_t generation = 0;
    std::string key;
    bool readable = false; // at least one of the files could be read as a recording
    std::vector<tachy::cli::Incident> incidents;
    TripFigures trip;
};

class DrivingScan {
public:
    using Callback = std::function<void(DrivingScanResult)>;

    explicit DrivingScan(Callback callback);
    ~DrivingScan(); // drops what is queued and waits for the job running
    DrivingScan(const DrivingScan&) = delete;
    DrivingScan& operator=(const DrivingScan&) = delete;

    void Queue(std::vector<DrivingScanJob> jobs);
    // Drops the jobs not yet started; the one running still reports (its generation tells).
    void Cancel();

    // Reads one job's files; what the scan's thread does for each job.
    static DrivingScanResult Run(const DrivingScanJob& job);

private:
    void Loop();

    const Callback m_callback; // immutable
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<DrivingScanJob> m_jobs; // guarded by m_lock
    bool m_stop = false;               // guarded by m_lock
    std::thread m_thread;              // started lazily by the first Queue, joined by ~DrivingScan
};

} // namespace viewer::trip
