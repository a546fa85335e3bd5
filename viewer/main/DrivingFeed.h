#pragma once
// The driving data of the entry that plays: the engine's frame records go in (the front
// picture's, on the clock thread), the values of the moment (speed, position, G-sensor cursor)
// and the last frame record come out for the play bar, the panels, snapshots and prints.
//
// Threads: the engine thread hands frames in; the GUI thread reads values, copies the entry's
// records for the panels and forgets the entry when playback stops; everything is guarded by
// m_lock, and nothing else is called while it is held.

#include "engine/EngineRecords.h"
#include "viewer/driving/CDrivingDataTable.h"

#include <memory>
#include <mutex>
#include <vector>

namespace viewer {

class DrivingFeed {
public:
    DrivingFeed();
    ~DrivingFeed();
    DrivingFeed(const DrivingFeed&) = delete;
    DrivingFeed& operator=(const DrivingFeed&) = delete;

    struct Step {
        bool newEntry = false; // the frame belongs to an entry the feed had not seen
        driving::FrameDrivingValues values;
    };
    // One front picture's frame record: adopts a new entry's driving data and works out the
    // values of this moment, which become the last ones.
    Step OnFrame(const _FRAME_INFO& frame);

    // The values and the frame record of the last front picture.
    driving::FrameDrivingValues Values() const;
    _FRAME_INFO LastFrame() const;
    // A copy of the current entry's records; returns the entry's frame count.
    int CopyRecords(std::vector<driving::DrivingDataRecord>& records) const;
    // Playback stopped or moved on: the entry is forgotten, and with `lastFrameToo` the values
    // of the last picture as well.
    void ForgetEntry(bool lastFrameToo);

private:
    mutable std::mutex m_lock;
    std::unique_ptr<driving::CDrivingDataTable> m_table; // guarded by m_lock
    _FRAME_INFO m_lastFrame{};                           // guarded by m_lock
    driving::FrameDrivingValues m_values;                // guarded by m_lock
};

} // namespace viewer
