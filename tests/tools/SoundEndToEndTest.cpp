// Twenty seconds of recording played at normal speed through the sound output, as the viewer
// plays it: every block the engine gives is taken once, and the queue never runs dry while the
// engine has sound to give. How closely the sound keeps in step with the pictures is a timing
// figure: bench_sound measures it. The meter behind that figure is checked here on given times.

#include "platform/process/Process.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"
#include "tools/tachy-play/SoundMeter.h"

#include <gtest/gtest.h>
#include <regex>

using namespace std::chrono_literals;
using tachy::play::SoundMeter;
using tachy::test::TempFolder;

namespace {

double figure(const std::string& report, const std::string& pattern) {
    std::smatch match;
    if (!std::regex_search(report, match, std::regex(pattern))) {
        ADD_FAILURE() << "no '" << pattern << "' in:\n" << report;
        return -1;
    }
    return std::stod(match[1].str());
}

// Device callbacks of 256 bytes (16 ms at 8 kHz, 16-bit) at the given milliseconds.
void tick(SoundMeter& meter, std::initializer_list<int> milliseconds) {
    const SoundMeter::Clock::time_point origin{};
    for (const int ms : milliseconds) {
        meter.OnTickAt(256, origin + std::chrono::milliseconds(ms));
    }
}

} // namespace

TEST(SoundMeter, ACallbackOnTimeAddsNoLag) {
    SoundMeter meter;
    meter.SetBytesPerSecond(16000);
    tick(meter, {0, 16, 32, 48, 64});
    EXPECT_DOUBLE_EQ(meter.DeviceLagMs(), 0);
}

// A busy machine can hold the device's thread back by more than a whole callback: all of that
// delay is the device's, and none of it may be taken for the sound running ahead or behind.
TEST(SoundMeter, ACallbackLateByMoreThanItsOwnLengthCountsInFull) {
    SoundMeter meter;
    meter.SetBytesPerSecond(16000);
    tick(meter, {0, 16, 32, 88}); // 40 ms late
    EXPECT_DOUBLE_EQ(meter.DeviceLagMs(), 40);
    tick(meter, {104, 121}); // on time after it, then 1 ms more
    EXPECT_DOUBLE_EQ(meter.DeviceLagMs(), 41);
}

// Callbacks go on while the output is stopped (silence); only copies count as played.
TEST(SoundMeter, AStopIsNotLagAndIsNotPlayed) {
    SoundMeter meter;
    meter.SetBytesPerSecond(16000);
    tick(meter, {0});
    meter.OnCopy(256);
    tick(meter, {16, 32, 48, 64}); // stopped: no copies
    tick(meter, {80});
    meter.OnCopy(256);
    EXPECT_DOUBLE_EQ(meter.DeviceLagMs(), 0);
    EXPECT_EQ(meter.Consumed(), 512U);
}

TEST(SoundMeter, ANewRateStartsTheClockAgainAndKeepsTheLagSoFar) {
    SoundMeter meter;
    meter.SetBytesPerSecond(16000);
    tick(meter, {0, 20});            // 4 ms late
    meter.SetBytesPerSecond(32000);  // 256 bytes are 8 ms now
    tick(meter, {1000, 1008, 1019}); // 3 ms late
    EXPECT_DOUBLE_EQ(meter.DeviceLagMs(), 7);
}

TEST(SoundEndToEnd, TwentySecondsAtNormalSpeedTakeEveryBlockOnceAndKeepTheQueueFed) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    tachy::Process mkcard;
    ASSERT_TRUE(mkcard.start(TACHY_MKCARD,
                             {"--rule", std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini",
                              "--out", card.string(), "--channels", "2", "--seconds", "20",
                              "--period", "60", "--size", "160x96"}));
    ASSERT_EQ(mkcard.wait(120s), tachy::Process::WaitResult::Exited);
    ASSERT_EQ(mkcard.exitCode(), 0);

    bool ok = false;
    const std::string report = tachy::test::runCommand(
        std::string(TACHY_PLAY) + " '" + card.string() + "' --sound 2>&1", &ok);
    ASSERT_TRUE(ok) << report;
    // Every picture from the first to the last, 30 a second.
    EXPECT_NEAR(figure(report, R"(recorded seconds: ([0-9.]+))"), 20, 0.2) << report;
    EXPECT_EQ(figure(report, R"(channel 0: (\d+) pictures)"), 600) << report;
    // The engine refills the queue at half a second; a stop when it runs dry needs the engine to
    // fall silent for three times that, which even a busy machine does not do.
    EXPECT_EQ(figure(report, R"(sound under-runs: (\d+))"), 0) << report;
    // 200 blocks of 100 ms. The output takes each one handed to it, and none twice; those of the
    // last moments may still be unsent when the pictures end (the queue is half a second ahead,
    // and a slow test driver falls further behind), so nine in ten are the least.
    const double blocks = figure(report, R"(sound blocks accepted: (\d+))");
    EXPECT_GE(blocks, 180) << report;
    EXPECT_LE(blocks, 200) << report;
}
