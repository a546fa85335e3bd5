#pragma once
// The playback thread: keeps the playback clock and hands each channel's pictures and channel
// 0's sound to the viewer when their time (plus the channel's offset) has come, forward,
// backward, stepping or paused. Locks: m_currentLock guards m_current; the workers' queues
// have their own locks. State, speed, clock and offsets are atomics the manager writes.

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
    void SetSpeed(double speed) { m_speed = speed; }
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
    void Loop();
    void Stopped();
    void Forward(std::int64_t elapsed);
    void Backward(std::int64_t elapsed);
    void Sweep(std::int64_t elapsed, int direction);
    void Step();
    void Sound(std::int64_t clock);
    void SendBlock(const SoundBlock& block, int flag, bool& accepted);
    void Present(int channel, std::unique_ptr<PictureRecord> record);
    void Announce(int channel, const PictureRecord& record);
    void NoPicture(int channel);
    void EndWhenDone(bool anyPicture);
    bool PeekDisplayTime(int channel, std::int64_t& display);
    bool AllWorkersStopped() const;
    void Send(unsigned code, std::intptr_t param, void* data);

    std::array<CSearchDataEx*, kChannels> m_workers;  // not owned
    ReplayCallback m_callback = nullptr;
    void* m_user = nullptr;

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

    // Playback thread only.
    std::array<bool, kChannels> m_noPictureSent{};
    bool m_soundActive = false;
    int m_soundSync = -1;
    int m_lastSoundFile = -1;

    std::thread m_thread;
};
