#include "viewer/trip/DrivingScan.h"

#include "engine/CTimeList.h"

namespace viewer::trip {

DrivingScanJob DrivingScanJob::FromEntry(const CTimeList& entry, std::uint64_t generation) {
    DrivingScanJob job;
    job.generation = generation;
    for (const std::string& file : entry.m_fileList[0]) {
        job.files.emplace_back(file);
    }
    job.key = entry.m_fileList[0].empty() ? std::string() : entry.m_fileList[0].front();
    job.startMs = entry.m_llStartTime[0];
    job.lengthMs = entry.m_llEndTime[0] - entry.m_llStartTime[0];
    return job;
}

DrivingScan::DrivingScan(Callback callback) : m_callback(std::move(callback)) {}

DrivingScan::~DrivingScan() {
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
        m_jobs.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void DrivingScan::Queue(std::vector<DrivingScanJob> jobs) {
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (m_stop) {
            return;
        }
        for (DrivingScanJob& job : jobs) {
            m_jobs.push_back(std::move(job));
        }
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Loop(); });
        }
    }
    m_wake.notify_all();
}

void DrivingScan::Cancel() {
    const std::lock_guard<std::mutex> guard(m_lock);
    m_jobs.clear();
}

void DrivingScan::Loop() {
    for (;;) {
        DrivingScanJob job;
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [this] { return m_stop || !m_jobs.empty(); });
            if (m_stop) {
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        m_callback(Run(job));
    }
}

DrivingScanResult DrivingScan::Run(const DrivingScanJob& job) {
    DrivingScanResult result;
    result.generation = job.generation;
    result.key = job.key;
    std::vector<tachy::cli::FileSamples> files;
    for (const std::filesystem::path& file : job.files) {
        tachy::cli::DrivingTrack track;
        // Records without a time of their own are timed from the recording's start.
        if (track.Read(file, job.startMs)) {
            result.readable = true;
            result.trip.AddSamples(track.Samples());
            files.push_back({file, track.Samples()});
        }
    }
    if (result.readable) {
        result.trip.AddDuration(job.lengthMs);
    }
    result.incidents = tachy::cli::IncidentFinder(tachy::cli::IncidentThresholds{}).Find(files);
    return result;
}

} // namespace viewer::trip
