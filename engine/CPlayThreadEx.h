#pragma once
// The playback thread: keeps the playback clock and hands each channel's pictures and channel
// 0's sound to the viewer when their time (plus the channel's offset) has come, forward,
// backward, stepping or paused. Between pictures it sleeps until the next one is due or until
// it is woken (a new state, a picture queued, a worker ended); paused or stopped it does not
// run at all. Locks: m_currentLock guards m_current; m_wakeLock the wake counter and the state
// last executed; the workers' queues have their own locks. State, speed, clock and offsets are
// atomics the manager writes.

#include "engine/CSearchDataEx.h"
#include "engine/EngineRecords.h"
#include "engine/ReplayCallback.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class CPlayThreadEx {
public:
    static constexpr int kChannels = 3;
    static constexpr std::int64_t kJumpMs = 4000;  // gaps longer than this are skipped

    explicit CPlayThreadEx(std::array<CSearchDataEx*, kChannels> workers);
    ~CPlayThreadEx();
    CPlayThreadEx(const CPlayThreadEx&) = delete;
    CPlayThreadEx& operator=(const CPlayThreadEx&) = delete;

    void SetCallback(ReplayCallback callback, void* user);
    void SetSearchType(int type) { m_searchType = type; }
    // Sets the state; a running state other than the present one becomes the last running state.
    void SetState(int state);
    int State() const { return m_state; }
    int LastRunningState() const { return m_lastRunning; }
    // Waits until the thread has begun a pass in `state`, at most `limit`; false when it did not.
    // After it, no work of an earlier state is under way on the thread.
    bool WaitForState(int state, std::chrono::milliseconds limit);
    void SetSpeed(double speed);
    double Speed() const { return m_speed; }
    void SetClock(std::int64_t timeMs) { m_clock = timeMs; }
    std::int64_t Clock() const { return m_clock; }
    void SetChannelOffset(int channel, int milliseconds);
    int ChannelOffset(int channel) const;
    void SetPopupChannel(int channel) { m_popup = channel; }
    void SetPictureSizeCode(int code) { m_sizeCode = code; }
    int PictureSizeCode() const { return m_sizeCode; }

    // Waits for the thread to pass through the stopped state (auto-reset).
    bool WaitIdle(std::chrono::milliseconds limit);

    // The current picture of a channel (shared, so that it stays valid while it is used).
    std::shared_ptr<PictureRecord> Current(int channel);
    void ClearCurrent();
    // Deletes every queued picture of every channel.
    void FlushPictures();
    // Gives each worker with a current picture that picture's entry and the direction; false
    // when a worker cannot be positioned.
    bool Realign(int direction);
    // Paused only: shows key frame `keyIndex` of channel 0 and the matching key frames of the
    // others; 1, or 0 when not paused or channel 0's frame cannot be decoded.
    int GotoTimeSearch(int keyIndex);
    // Presents the current pictures again (or 171 where there are none).
    void ShowCurrent();

private:
    using Nap = std::chrono::milliseconds;
    static constexpr Nap kUntilWoken{-1};

    void Loop();
    Nap RunState(int state, std::int64_t elapsed);
    void Wake();
    void Sleep(Nap nap, std::uint64_t seen);
    void MarkExecuted(int state);
    Nap Stopped();
    Nap Notices();
    Nap Forward(std::int64_t elapsed);
    Nap Sweep(std::int64_t elapsed, int direction, int state);
    Nap Step(int state);
    bool WaitingForDecoders(Nap& nap);
    Nap Sound(std::int64_t clock);
    void SoundSlipped(std::int64_t milliseconds);
    bool SendBlock(const SoundBlock& block, int flag);
    bool MayQueueSound();
    void Present(int channel, std::unique_ptr<PictureRecord> record);
    void Announce(int channel, const PictureRecord& record);
    void NoPicture(int channel);
    void EndWhenDone(bool anyPicture, int state);
    bool PeekDisplayTime(int channel, std::int64_t& display);
    bool AllWorkersStopped() const;
    void Send(unsigned code, std::intptr_t param, void* data);

    std::array<CSearchDataEx*, kChannels> m_workers;  // not owned
    ReplayCallback m_callback = nullptr;
    void* m_user = nullptr;

    std::mutex m_stateLock;  // held while m_state and m_lastRunning change together
    std::atomic<int> m_state{0};
    std::atomic<int> m_lastRunning{0};
    std::atomic<int> m_searchType{0};
    std::atomic<double> m_speed{1.0};
    std::atomic<std::int64_t> m_clock{0};
    double m_clockRemainder = 0;  // clock thread only: the fraction of a millisecond not yet added
    std::array<std::atomic<int>, kChannels> m_offsets{};
    std::atomic<int> m_popup{-1};
    std::atomic<int> m_sizeCode{2};

    std::mutex m_currentLock;
    std::array<std::shared_ptr<PictureRecord>, kChannels> m_current;  // guarded by m_currentLock

    std::mutex m_idleLock;
    std::condition_variable m_idleChanged;
    bool m_idle = false;  // guarded by m_idleLock

    std::mutex m_wakeLock;
    std::condition_variable m_wake;
    std::uint64_t m_wakeups = 0;  // guarded by m_wakeLock; moved on by every wake
    int m_executed = -1;          // guarded by m_wakeLock; the state of the pass under way
    bool m_ended = false;         // guarded by m_wakeLock; the loop has returned

    // Set by the play thread and by a time search on the caller's thread while paused.
    std::array<std::atomic<bool>, kChannels> m_noPictureSent{};

    // Playback thread only.
    // When a running channel's queue was first found empty (a zero time: not empty), and
    // whether the channel fell behind: a channel that stays empty longer than the grace no
    // longer holds the clock, and its late pictures, once they come, do not pull it back.
    std::array<std::chrono::steady_clock::time_point, kChannels> m_emptySince{};
    std::array<bool, kChannels> m_lagging{};

    bool m_soundActive = false;
    int m_soundSync = -1;
    int m_lastSoundFile = -1;
    // Clock time held back (waiting for a decoder, re-based on a late picture) while sound
    // played on; past a limit the sound is stopped and started again at the clock.
    std::int64_t m_soundSlipMs = 0;
    int m_lastState = -1;

    std::thread m_thread;
};
