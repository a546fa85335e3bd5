// Sound against pictures: tachy-play plays a minute of a generated two-camera card at normal
// speed through the sound output (SDL's dummy driver unless SDL_AUDIODRIVER names another) and
// reports how far the sound heard strays from the front picture shown. Printed: the largest
// drift with the driver's own clock lag taken out, against one frame interval (33.3 ms at 30
// pictures a second); the same with the lag left in; the lag; and the under-runs.
// The figures depend on how busy the machine is: the engine's and the device's threads being
// held back show up in them, which is why they are measured here and not in a test.

#include "bench/BenchCommand.h"
#include "bench/BenchTimer.h"

#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <unistd.h>

namespace {

constexpr double kSeconds = 60;
constexpr double kFrameIntervalMs = 1000.0 / 30;

double number(const std::string& text, const char* pattern) {
    std::smatch match;
    return std::regex_search(text, match, std::regex(pattern)) ? std::stod(match[1]) : -1;
}

bool makeCard(const std::filesystem::path& card) {
    const std::string seconds = std::to_string(static_cast<int>(kSeconds));
    return tachy::bench::makeCard(TACHY_MKCARD, TACHY_DATA_DIR, card,
                                  "--channels 2 --seconds " + seconds + " --period 60 --size 160x96");
}

} // namespace

int main() {
    const std::filesystem::path card = std::filesystem::temp_directory_path() /
                                       ("tachy-bench-sound-" + std::to_string(::getpid()));
    if (!makeCard(card)) {
        return 1;
    }
    const std::string report =
        tachy::bench::runCommand(std::string(TACHY_PLAY) + " '" + card.string() + "' --sound 2>&1");
    std::filesystem::remove_all(card);
    const double drift =
        number(report, R"(largest sound drift from the front picture: ([0-9.]+) ms)");
    const double lag = number(report, R"(sound device clock lag: (-?[0-9.]+) ms)");
    const double withoutLag = number(report, R"(largest drift without it: ([0-9.]+) ms)");
    const double underRuns = number(report, R"(sound under-runs: (\d+))");
    const double recorded = number(report, R"(recorded seconds: ([0-9.]+))");
    if (drift < 0 || withoutLag < 0 || underRuns < 0 || recorded <= 0) {
        std::fprintf(stderr, "bench: tachy-play did not report its figures:\n%s", report.c_str());
        return 1;
    }
    tachy::bench::report("sound_1x_largest_drift_without_device_lag", withoutLag, kFrameIntervalMs,
                         "one frame interval, 33.3 ms", "ms");
    std::printf(
        "sound_1x_largest_drift_with_device_lag: %.1f ms (the test driver's slow clock left in)\n",
        drift);
    std::printf("sound_1x_device_clock_lag: %.1f ms over %.1f s (the test driver's clock)\n", lag,
                recorded);
    std::printf("sound_1x_underruns: %.0f (while the engine had sound to give)\n", underRuns);
    return 0;
}
