// A minute of recording played at normal speed through the sound output, as the viewer plays it:
// the queue must never run dry while the engine has sound to give, and the sound heard must stay
// in step with the front picture.

#include "platform/process/Process.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <regex>

using namespace std::chrono_literals;
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

} // namespace

TEST(SoundEndToEnd, AMinuteAtNormalSpeedKeepsTheQueueFedAndInStep) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    tachy::Process mkcard;
    ASSERT_TRUE(mkcard.start(TACHY_MKCARD, {"--rule", std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini",
                                            "--out", card.string(), "--channels", "2", "--seconds", "60",
                                            "--period", "60", "--size", "160x96"}));
    ASSERT_EQ(mkcard.wait(120s), tachy::Process::WaitResult::Exited);
    ASSERT_EQ(mkcard.exitCode(), 0);

    bool ok = false;
    const std::string report =
        tachy::test::runCommand(std::string(TACHY_PLAY) + " '" + card.string() + "' --sound 2>&1", &ok);
    ASSERT_TRUE(ok) << report;
    EXPECT_NEAR(figure(report, R"(recorded seconds: ([0-9.]+))"), 60, 0.2) << report;
    EXPECT_EQ(figure(report, R"(sound under-runs: (\d+))"), 0) << report;
    // The dummy driver's own clock runs a little slow; what the engine and the output add must
    // stay within 40 ms of the picture.
    EXPECT_LT(figure(report, R"(largest drift without it: ([0-9.]+) ms)"), 40) << report;
    EXPECT_GT(figure(report, R"(sound blocks accepted: (\d+))"), 500) << report;
}
