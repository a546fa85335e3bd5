#pragma once
// The system's master volume and mute through the sound card's mixer ("Master"). Without a
// sound card every call answers failure (0, or -1 for the readers).

#include <cstdint>
#include <memory>

namespace tachy {
class MasterVolume;
}

class CUtilSound {
public:
    CUtilSound();
    ~CUtilSound();
    CUtilSound(const CUtilSound&) = delete;
    CUtilSound& operator=(const CUtilSound&) = delete;

    // Opens the master control afresh on each call. SetMasterVolume2 sets every channel when
    // `volume` lies within the control's range; 1 on success.
    int SetMasterVolume2(long volume);
    // The master volume, or -1 when there is none.
    long GetMasterVolume2();
    // 1 when muted, 0 when not, -1 when there is no mute switch.
    int GetMute();
    int SetMute(int mute);

    // The same on the control found once by InitMasterVolume (1 when found).
    int InitMasterVolume();
    long GetMasterVolume();
    int SetMasterVolume(long volume);

private:
    static int SetWithinRange(tachy::MasterVolume& control, long volume);
    static long Read(tachy::MasterVolume& control);

    std::unique_ptr<tachy::MasterVolume> m_master;  // from InitMasterVolume
};
