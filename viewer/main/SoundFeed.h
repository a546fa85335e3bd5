#pragma once
// The viewer's sound output, fed with the engine's sound blocks. Without a sound device the
// viewer plays on silently: every call then does nothing and says there is room.
//
// Threads: engine threads feed blocks and ask for room, the GUI thread opens, closes and sets
// the volume; everything is guarded by m_lock.

#include "engine/EngineRecords.h"

#include <cstdint>
#include <memory>
#include <mutex>

class ISoundEx;
class QWidget;

namespace viewer {

class SoundFeed {
public:
    SoundFeed();
    ~SoundFeed();
    SoundFeed(const SoundFeed&) = delete;
    SoundFeed& operator=(const SoundFeed&) = delete;

    // Opens the output for `window` at the viewer's volume and mute setting.
    void Open(QWidget* window, int volume, int mute);
    // Stops and closes the output; no block is taken afterwards.
    void Close();
    void SetVolume(int volume);

    // One block through the output; the block's result says whether it was taken.
    void Feed(_AUDIO_BLOCK& block);
    // 1 when the output can take another block now.
    int CanTakeMore();
    // The engine's sound ended: what is queued stops.
    void Stop();

private:
    std::mutex m_lock;
    std::unique_ptr<ISoundEx> m_sound; // guarded by m_lock
    std::uint64_t m_refusedFormat = 0; // guarded by m_lock
};

} // namespace viewer
