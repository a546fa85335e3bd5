#pragma once
// What the main window tells the play bar while an entry plays, handed from the engine's
// threads to the GUI thread. Writers store the newest values and set a flag bit; the GUI
// thread takes everything pending at once. Only the first writer after a take is asked to
// queue the GUI call, so a burst of frames costs one queued call.

#include "engine/CTimeList.h"

#include <cstdint>
#include <mutex>
#include <optional>

namespace viewer::playbar {

class PlayBarFeedback {
public:
    // Flag bits, processed in this order: new file, (reserved), state, position.
    static constexpr unsigned kNewFile = 1;
    static constexpr unsigned kReserved = 2;
    static constexpr unsigned kPosition = 4;
    static constexpr unsigned kState = 8;

    struct NewFile {
        int frameCount = 0;
        int keyframeCount = 0;
        std::optional<CTimeList> entry;
    };
    struct Position {
        int framePosition = 0;
        int vehicleSpeed = 0;
        std::int64_t second = 0;
        int millisecond = 0;
    };
    struct Pending {
        unsigned flags = 0;
        NewFile file;
        Position position;
        int state = 0;
    };

    // Each returns true when the caller has to queue the GUI thread's Take.
    bool PostNewFile(NewFile file);
    bool PostPosition(const Position& position);
    bool PostState(int state);

    // Everything pending, the flags cleared; the next post queues a call again.
    Pending Take();
    // Forgets pending files and positions (playback stopped); a queued call still comes.
    void DiscardPlayback();

private:
    bool Flag(unsigned bit);  // with m_lock held

    std::mutex m_lock;
    Pending m_pending;     // guarded by m_lock
    bool m_queued = false; // guarded by m_lock: a Take is queued and has not run yet
};

} // namespace viewer::playbar
