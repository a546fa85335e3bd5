#include "util/CUtilSound.h"

#include "platform/debug/DebugOut.h"

#include <gtest/gtest.h>

// Tests run where there may be no sound card (CI has none): every call must answer failure
// without crashing. Where a card exists, a volume outside the control's range is refused.
TEST(CUtilSound, AnswersFailureOrStaysWithinTheControlsRange) {
    const auto previous = tachy::DebugOut::setSink([](std::string_view) {});
    CUtilSound sound;
    if (sound.InitMasterVolume() == 0) {
        EXPECT_EQ(sound.GetMasterVolume(), -1);
        EXPECT_EQ(sound.SetMasterVolume(10), 0);
        EXPECT_EQ(sound.GetMasterVolume2(), -1);
        EXPECT_EQ(sound.SetMasterVolume2(10), 0);
        EXPECT_EQ(sound.GetMute(), -1);
        EXPECT_EQ(sound.SetMute(1), 0);
    } else {
        const long current = sound.GetMasterVolume();
        EXPECT_GE(current, 0);
        EXPECT_EQ(sound.SetMasterVolume2(-1000000), 0);
        EXPECT_EQ(sound.SetMasterVolume(current), 1);
    }
    tachy::DebugOut::setSink(previous);
}
