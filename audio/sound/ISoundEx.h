#pragma once
// The sound output: one looping streaming buffer that the viewer appends PCM to, with a feeding
// thread that stops playback when the queue runs dry and fades the volume in after each start.
// ISoundEx::Create gives CDxSoundEx; every operation of this base does nothing and answers 0.

#include <memory>

class QWidget;

class ISoundEx {
public:
    static std::unique_ptr<ISoundEx> Create();

    ISoundEx() = default;
    virtual ~ISoundEx();
    ISoundEx(const ISoundEx&) = delete;
    ISoundEx& operator=(const ISoundEx&) = delete;

    virtual int CreateDxSound(QWidget* window);
    virtual int DeleteDxSound();
    virtual int IsCreateDSBuffer();
    virtual int CreateDSBuffer(const void* format, int secondsFactor, int thresholdMs);
    virtual int DeleteDSBuffer();
    virtual int InitAudioBuffer();
    virtual int CompareFormat(const void* format, int secondsFactor, int unused);
    virtual int PlayStop();
    virtual int SetFadeIn(int value);
    virtual int SetAudioBuffer(const unsigned char* data, int length, int start);
    virtual int CheckDxBuffer(unsigned long limit);
    virtual int IsPlaying();
    virtual unsigned long GetGap();
    virtual unsigned long GetGapThreshold();
    virtual int SetVolume(int volume);
    virtual int GetVolume();
    virtual int SetMute(int mute);
};
