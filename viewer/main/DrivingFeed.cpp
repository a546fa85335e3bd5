#include "viewer/main/DrivingFeed.h"

namespace viewer {

DrivingFeed::DrivingFeed() : m_table(std::make_unique<driving::CDrivingDataTable>()) {}

DrivingFeed::~DrivingFeed() = default;

DrivingFeed::Step DrivingFeed::OnFrame(const _FRAME_INFO& frame) {
    Step step;
    const std::lock_guard<std::mutex> guard(m_lock);
    step.newEntry = m_table->AdoptEntry(frame);
    // The record of this moment goes into the kept frame record's reserved area (speed,
    // position, G-sensor), so that snapshots and prints read it from there.
    m_lastFrame = frame;
    m_values = m_table->ProcessFrame(m_lastFrame);
    step.values = m_values;
    return step;
}

driving::FrameDrivingValues DrivingFeed::Values() const {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_values;
}

_FRAME_INFO DrivingFeed::LastFrame() const {
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_lastFrame;
}

int DrivingFeed::CopyRecords(std::vector<driving::DrivingDataRecord>& records) const {
    const std::lock_guard<std::mutex> guard(m_lock);
    const auto kept = m_table->Records();
    records.assign(kept.begin(), kept.end());
    return m_table->FrameCount();
}

void DrivingFeed::ForgetEntry(bool lastFrameToo) {
    const std::lock_guard<std::mutex> guard(m_lock);
    if (lastFrameToo) {
        m_lastFrame = {};
        m_values = {};
    }
    m_table->ForgetEntry();
}

} // namespace viewer
