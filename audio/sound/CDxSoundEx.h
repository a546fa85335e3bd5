#pragma once
// The sound output on a SoundBuffer (SDL2 audio here). Locks: m_bufferLock guards the buffer,
// the write, play and gap positions, and every start and stop: "playing" changes only under it,
// together with the buffer's own state, so a start and a stop from two threads (the viewer's
// append and the feeding thread's dry stop) cannot leave one saying playing and the other
// stopped. The flags and volumes are atomics so that they can be read without the lock.

#include "audio/sound/ISoundEx.h"
#include "platform/audio/SoundBuffer.h"
#include "platform/avi/AviStructures.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

class CDxSoundEx : public ISoundEx {
public:
    CDxSoundEx();
    ~CDxSoundEx() override;

    int CreateDxSound(QWidget* window) override;
    int DeleteDxSound() override;
    int IsCreateDSBuffer() override;
    int CreateDSBuffer(const void* format, int secondsFactor, int thresholdMs) override;
    int DeleteDSBuffer() override;
    int InitAudioBuffer() override;
    int CompareFormat(const void* format, int secondsFactor, int unused) override;
    int PlayStop() override;
    int SetFadeIn(int value) override;
    int SetAudioBuffer(const unsigned char* data, int length, int start) override;
    int CheckDxBuffer(unsigned long limit) override;
    int IsPlaying() override;
    unsigned long GetGap() override;
    unsigned long GetGapThreshold() override;
    int SetVolume(int volume) override;
    int GetVolume() override;
    int SetMute(int mute) override;

    void PlayStart();
    unsigned long BufferSize() const { return m_bufferSize; }
    // Whether the device is copying out of the buffer now (what IsPlaying must agree with).
    bool DeviceRunning();
    // The volume the buffer plays at now, in hundredths of a decibel.
    int CurrentVolume() const { return m_currentVolume; }
    // How many times the queue ran dry while playing (the feeding thread stopped playback).
    int DryStops() const { return m_dryStops; }
    // For tests and tools: what the device copies out of the buffer (kept for later buffers).
    void SetTap(tachy::SoundBuffer::Tap tap);
    // For tools: called once per device callback, playing or not (kept for later buffers).
    void SetDeviceTick(tachy::SoundBuffer::Tick tick);

    // 2000 x log10(v) - 4000, for v from 0 (taken as 1) to 100.
    static int VolumeToLevel(int volume);
    static int LevelToVolume(int level);
    // The fade-in's level `sinceMs` after it began: silence at first, rising 50 hundredths of a
    // decibel per millisecond to reach full level at 200 ms, never above `target`.
    static int FadeLevel(int target, long long sinceMs);

private:
    void Feed();
    // Stops playback if the queue holds no more than `limit` bytes, counting a dry stop.
    void StopWhenDry(unsigned long limit);
    void FadeIn(std::chrono::steady_clock::time_point& fadeBegan);
    bool Append(const unsigned char* data, int length); // under m_bufferLock
    void StartPlaying();                                // under m_bufferLock
    void StopPlaying();                                 // under m_bufferLock
    int ClearBuffer();                                  // under m_bufferLock
    void UpdateGap();                                   // under m_bufferLock

    std::atomic<bool> m_device{false};
    std::mutex m_bufferLock;
    std::unique_ptr<tachy::SoundBuffer> m_buffer; // guarded by m_bufferLock
    tachy::avi::WaveFormatEx m_format{};          // guarded by m_bufferLock
    unsigned long m_writePosition = 0;            // guarded by m_bufferLock
    unsigned long m_playPosition = 0;             // guarded by m_bufferLock
    unsigned long m_gap = 0;                      // guarded by m_bufferLock
    std::atomic<unsigned long> m_bufferSize{0};
    std::atomic<unsigned long> m_threshold{0};
    std::atomic<int> m_fadeIn{0};
    std::atomic<bool> m_playing{false}; // written under m_bufferLock
    std::atomic<bool> m_primed{false};
    std::atomic<bool> m_stopRequest{true};
    std::atomic<int> m_currentVolume{tachy::SoundBuffer::kSilent};
    std::atomic<bool> m_mute{false};
    std::atomic<int> m_targetVolume{0};
    std::atomic<int> m_dryStops{0};
    tachy::SoundBuffer::Tap m_tap;   // guarded by m_bufferLock
    tachy::SoundBuffer::Tick m_tick; // guarded by m_bufferLock
    std::thread m_feeder;            // started and joined by the owner's thread
};
