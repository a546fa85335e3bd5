#include "audio/sound/ISoundEx.h"

#include "audio/sound/CDxSoundEx.h"

std::unique_ptr<ISoundEx> ISoundEx::Create() {
    return std::make_unique<CDxSoundEx>();
}

ISoundEx::~ISoundEx() = default;

int ISoundEx::CreateDxSound(QWidget*) { return 0; }
int ISoundEx::DeleteDxSound() { return 0; }
int ISoundEx::IsCreateDSBuffer() { return 0; }
int ISoundEx::CreateDSBuffer(const void*, int, int) { return 0; }
int ISoundEx::DeleteDSBuffer() { return 0; }
int ISoundEx::InitAudioBuffer() { return 0; }
int ISoundEx::CompareFormat(const void*, int, int) { return 0; }
int ISoundEx::PlayStop() { return 0; }
int ISoundEx::SetFadeIn(int) { return 0; }
int ISoundEx::SetAudioBuffer(const unsigned char*, int, int) { return 0; }
int ISoundEx::CheckDxBuffer(unsigned long) { return 0; }
int ISoundEx::IsPlaying() { return 0; }
unsigned long ISoundEx::GetGap() { return 0; }
unsigned long ISoundEx::GetGapThreshold() { return 0; }
int ISoundEx::SetVolume(int) { return 0; }
int ISoundEx::GetVolume() { return 0; }
int ISoundEx::SetMute(int) { return 0; }
