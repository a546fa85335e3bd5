#pragma once
// The two bounded queues between a channel worker and the playback thread: decoded pictures and
// sound blocks, oldest first, each under its own lock, with the signals both sides wait on. The
// worker sleeps while it has nothing to do and wakes on Wake() or when the playback thread takes
// from a queue; the playback thread is told of everything queued through the listener. Spent
// sound blocks come back to a spare list so that the steady path allocates nothing.
// Reset protocol: ClearSounds() bumps the sound generation; a block taken before it and handed
// back after it is dropped instead of being played in the new run.

#include "engine/EngineRecords.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class ChannelQueues {
public:
    using Listener = std::function<void()>;

    // Called (without any queue lock held) after a picture or sound block was queued.
    void SetListener(Listener listener);

    void PushPicture(std::unique_ptr<PictureRecord> record);
    bool PeekPictureTime(std::int64_t& timeMs);
    std::unique_ptr<PictureRecord> TakePicture();
    std::size_t PictureCount();
    void FlushPictures();

    void PushSound(std::unique_ptr<SoundBlock> block);
    std::size_t SoundCount();
    // The oldest block and the sound generation it belongs to; null when the queue is empty.
    std::unique_ptr<SoundBlock> TakeSound(std::uint64_t& generation);
    // Puts a block that could not be played yet back in front, unless the queue was cleared
    // since it was taken.
    void ReturnSound(std::unique_ptr<SoundBlock> block, std::uint64_t generation);
    // A block that has been played or dropped, kept for reuse.
    void RecycleSound(std::unique_ptr<SoundBlock> block);
    // A spare block to fill (a new one when none is spare).
    std::unique_ptr<SoundBlock> SpareSound();
    void ClearSounds();

    // The worker's side: a counter that every change it may care about moves on.
    std::uint64_t Generation();
    void Wake();
    // Waits until the counter has moved past `seen`, or `limit`.
    void WaitForChange(std::uint64_t seen, std::chrono::milliseconds limit);

private:
    void Notify();
    void Tell();

    std::mutex m_pictureLock;
    std::deque<std::unique_ptr<PictureRecord>> m_pictures;  // guarded by m_pictureLock

    std::mutex m_soundLock;
    std::deque<std::unique_ptr<SoundBlock>> m_sounds;      // guarded by m_soundLock
    std::vector<std::unique_ptr<SoundBlock>> m_spare;       // guarded by m_soundLock
    std::uint64_t m_soundGeneration = 0;                    // guarded by m_soundLock

    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    std::uint64_t m_generation = 0;  // guarded by m_wakeLock

    std::mutex m_listenerLock;
    Listener m_listener;  // guarded by m_listenerLock; set before playback starts
};
