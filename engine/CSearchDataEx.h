#pragma once
// A channel worker: while a list entry plays, its own thread reads the channel's stream file,
// decodes pictures and sound into two bounded queues that the playback thread empties on its
// clock, loads channel 0's driving data, and moves on to the next entry when the file ends.
// The thread sleeps whenever it has nothing to do (queues full, paused, stopped) and wakes on a
// change of state, speed or queue. Locks: the queues have their own (ChannelQueues); m_fileLock
// guards the reader, the key-frame position and the open entry. States, speed and options are
// atomics.

#include "engine/CArchiveAvi.h"
#include "engine/ChannelQueues.h"
#include "engine/EngineRecords.h"
#include "engine/ReplayCallback.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class CAudDecoder;
class IVideoDecoder;

class CSearchDataEx {
public:
    static constexpr std::size_t kPictureQueueLimit = 12;  // the video step stops above this
    static constexpr std::size_t kSoundQueueLimit = 16;    // the sound step stops above this
    static constexpr int kDrivingCapacity = 18000;
    static constexpr int kAudioChannel = 0;

    // Called on channel 0's thread when it has moved to another entry (index, direction).
    using EntryHook = std::function<void(int listIndex, int direction)>;

    CSearchDataEx(int channel, std::unique_ptr<IVideoDecoder> decoder);
    ~CSearchDataEx();
    CSearchDataEx(const CSearchDataEx&) = delete;
    CSearchDataEx& operator=(const CSearchDataEx&) = delete;

    void SetCallback(ReplayCallback callback, void* user);
    void SetEntryHook(EntryHook hook) { m_entryHook = std::move(hook); }
    void SetNameFormat(const _AVI_NAME_FORMAT2& format);
    void SetRecordMode(int kind) { m_kind = kind; }
    void SetSearchType(int type) { m_searchType = type; }
    void SetSpeedOption(int option) { m_speedOption = option; }
    void SetAudioDelay(int milliseconds) { m_audioDelay = milliseconds; }
    void SetState(int state);
    void SetSpeed(double speed);
    int State() const { return m_state; }
    IVideoDecoder* Decoder() { return m_decoder.get(); }
    IArchFile& Reader() { return m_reader; }

    // Starts the thread on list entry `listIndex` in a direction (1 forward, -1 backward),
    // after ending a thread still running from before.
    void Start(int listIndex, int direction);
    // Clears the run flag and waits at most `limit` for the thread; false when it still runs.
    bool Stop(std::chrono::milliseconds limit);
    bool IsRunning() const { return m_running; }
    bool IsStarted() const { return m_started; }
    int ListIndex() const { return m_listIndex; }
    // Waits until the thread has begun a pass in `state` (or has ended), at most `limit`; false
    // when it did not within the limit. After it, no step of an earlier state is under way.
    bool WaitForState(int state, std::chrono::milliseconds limit);

    // The picture and sound queues the playback thread empties.
    ChannelQueues& Queues() { return m_queues; }
    // Short forms for the picture queue.
    bool PeekPictureTime(std::int64_t& timeMs) { return m_queues.PeekPictureTime(timeMs); }
    std::unique_ptr<PictureRecord> TakePicture() { return m_queues.TakePicture(); }
    std::size_t PictureCount() { return m_queues.PictureCount(); }
    void FlushPictures() { m_queues.FlushPictures(); }
    // Called (from the worker's thread) when its thread ends, so the playback thread wakes.
    void SetEndListener(std::function<void()> listener) { m_endListener = std::move(listener); }

    // Re-alignment by the manager: play `entry` from the key frame after `framePosition` in
    // the direction. False when the entry cannot be opened or positioned.
    bool Realign(const std::shared_ptr<const CTimeList>& entry, int listIndex, int direction,
                 int framePosition);

    // Closes the open file (under the file lock, so never under the worker's feet).
    void CloseFile();

    // The keyframe table entry of the current file (for key-frame searches of the manager).
    int KeyIndex() const { return m_keyIndex; }
    int KeyCount();

    // Decodes one key frame of the open file, chosen by table index or, when `keyIndex` is
    // negative, by UTC second; null when it cannot be read or decoded. Used while paused.
    std::unique_ptr<PictureRecord> DecodeKeyFrame(int keyIndex, std::int64_t second);

private:
    void Run();
    bool Pass(int state);
    void Ended();
    // 1: open at the entry's first key frame (last, backward); 0: no key frame within the
    // entry's time; -1: the file cannot be opened; -2: the entry holds no file for this channel.
    int OpenEntry();
    bool MoveToNextEntry(bool announce = true);
    bool FetchEntry(int listIndex, CTimeList& entry);
    bool VideoStep();
    bool KeyframeStep(bool forward);
    bool SoundStep();
    int DecodeFrame(const _FRAME_DESC* descriptor, PictureRecord& record);
    bool Usable(const _FRAME_DESC* descriptor, bool forward) const;
    bool HandleEndOfEntry();
    bool SoundReadToEnd() const;
    void Queue(std::unique_ptr<PictureRecord> record, const _FRAME_DESC& descriptor);
    void Describe(PictureRecord& record, const _FRAME_DESC& descriptor);
    void LoadDrivingData();
    void UpdateSoundEnabled();
    void Send(unsigned code, std::intptr_t param, void* data);

    const int m_channel;
    CArchiveAvi m_reader;
    std::unique_ptr<IVideoDecoder> m_decoder;
    std::unique_ptr<CAudDecoder> m_audioDecoder;
    ReplayCallback m_callback = nullptr;
    void* m_user = nullptr;
    EntryHook m_entryHook;

    std::atomic<int> m_kind{-1};
    std::atomic<int> m_searchType{0};
    std::atomic<int> m_state{0};
    std::atomic<double> m_speed{1.0};
    std::atomic<int> m_speedOption{1};
    std::atomic<int> m_audioDelay{0};
    std::atomic<bool> m_soundEnabled{false};
    std::atomic<bool> m_run{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_started{false};
    std::atomic<int> m_listIndex{-1};
    std::atomic<int> m_direction{1};
    std::atomic<int> m_keyIndex{0};

    std::thread m_thread;
    std::function<void()> m_endListener;  // set before the first start

    // The state the thread last began a pass in; the manager waits on it.
    std::mutex m_seenLock;
    std::condition_variable m_seenChanged;
    int m_seenState = -1;  // guarded by m_seenLock

    std::mutex m_fileLock;  // guards the reader's position, m_entry and m_fileInfo
    std::shared_ptr<const CTimeList> m_entry;  // never null; replaced, never changed in place
    _FILE_INFORMATION m_fileInfo{};
    int m_audioFormat = 0;   // worker thread and re-alignment, under m_fileLock
    int m_audioRate = 0;
    int m_audioBits = 0;

    ChannelQueues m_queues;

    // Worker thread, or whoever holds m_fileLock (the paused key-frame search).
    bool m_keyframeSeen = false;
    int m_lastResolution = -1;
    // Channel 0's driving data of the open entry; a new store for every entry, shared with the
    // pictures that point into it.
    std::shared_ptr<std::vector<_DRIVING_RECORD>> m_driving;
    int m_drivingCount = 0;
    // Channel 0 has read the open file's sound to its end (set by the sound step, cleared when
    // a file is opened or the sound is re-synchronised).
    std::atomic<bool> m_soundAtEnd{false};
};
