#include "util/CUtilSound.h"

#include "platform/mixer/MasterVolume.h"

CUtilSound::CUtilSound() = default;
CUtilSound::~CUtilSound() = default;

int CUtilSound::SetWithinRange(tachy::MasterVolume& control, long volume) {
    long minimum = 0;
    long maximum = 0;
    if (!control.range(minimum, maximum) || volume < minimum || volume > maximum) {
        return 0;
    }
    return control.setVolume(volume) ? 1 : 0;
}

long CUtilSound::Read(tachy::MasterVolume& control) {
    long value = 0;
    return control.volume(value) ? value : -1;
}

int CUtilSound::SetMasterVolume2(long volume) {
    tachy::MasterVolume control;
    return control.open() ? SetWithinRange(control, volume) : 0;
}

long CUtilSound::GetMasterVolume2() {
    tachy::MasterVolume control;
    return control.open() ? Read(control) : -1;
}

int CUtilSound::GetMute() {
    tachy::MasterVolume control;
    bool muted = false;
    if (!control.open() || !control.muted(muted)) {
        return -1;
    }
    return muted ? 1 : 0;
}

int CUtilSound::SetMute(int mute) {
    tachy::MasterVolume control;
    return control.open() && control.setMuted(mute != 0) ? 1 : 0;
}

int CUtilSound::InitMasterVolume() {
    auto control = std::make_unique<tachy::MasterVolume>();
    if (!control->open()) {
        m_master.reset();
        return 0;
    }
    m_master = std::move(control);
    return 1;
}

long CUtilSound::GetMasterVolume() {
    return m_master ? Read(*m_master) : -1;
}

int CUtilSound::SetMasterVolume(long volume) {
    return m_master ? SetWithinRange(*m_master, volume) : 0;
}
