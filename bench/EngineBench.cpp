// The replay engine playing a three-channel entry (1920x1080 front, two 1280x720) of camera-like
// pictures (a street scene with sensor noise at a recorder's bit rate) through tachy-play: at 1x
// the real-time factor, the share of pictures shown late by more than one frame interval, the
// process CPU time against decoding the same three files with `ffmpeg -threads 1 -f null -`,
// and the peak resident memory; at 8x with key frames only, the wall time per recording minute;
// the CPU the engine takes when paused and when idle with the card open. Then one 3840x2160
// channel at 1x: real-time factor and late pictures. A run that fails or hangs is reported as
// such and the other figures still follow.

#include "bench/BenchTimer.h"
#include "tools/mkcard/CardGenerator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double kSeconds = 60;
constexpr double kFourKSeconds = 10;
constexpr double kIdleSeconds = 3;
constexpr double kPlayBeforePause = 4;
constexpr double kPauseSeconds = 3;
constexpr double kMemoryTargetMb = 200;
constexpr double kCpuTargetPercent = 1;

// Writes a camera-content card; false (with the message on stderr) on failure.
bool makeCard(const std::filesystem::path& card, int channels, double seconds, int width,
              int height) {
    std::string error;
    mkcard::CardOptions options;
    options.rule = std::filesystem::path(TACHY_DATA_DIR) / "_option" / "FileNameRule_A.ini";
    options.out = card;
    options.channels = channels;
    options.seconds = seconds;
    options.width = width;
    options.height = height;
    options.rearWidth = 1280; // the rear cameras record 720p
    options.rearHeight = 720;
    options.content = mkcard::CardOptions::Content::Camera;
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    return true;
}

double childrenCpu() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Run {
    std::string output;
    std::string failure; // empty when the command exited with status 0
};

// Runs a shell command, killed after `limitSeconds`, and tells how it ended when that was not
// a clean exit.
Run run(const std::string& command, int limitSeconds) {
    Run result;
    const std::string limited =
        "timeout -k 5 " + std::to_string(limitSeconds) + " " + command + " 2>&1";
    FILE* pipe = ::popen(limited.c_str(), "r");
    if (pipe == nullptr) {
        result.failure = "could not be started";
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code == 124 || code == 137) {
        result.failure = "did not finish within " + std::to_string(limitSeconds) + " s";
    } else if (code > 128) {
        result.failure = "ended by signal " + std::to_string(code - 128);
    } else if (code != 0) {
        result.failure = "ended with status " + std::to_string(code);
    }
    return result;
}

double number(const std::string& text, const char* pattern) {
    std::smatch match;
    return std::regex_search(text, match, std::regex(pattern)) ? std::stod(match[1]) : -1;
}

// The last few lines of a program's output, to show with a failure.
std::string tail(const std::string& text) {
    constexpr int kLines = 4;
    std::size_t from = text.size();
    for (int lines = 0; lines <= kLines && from > 0; ++lines) {
        const std::size_t newline = text.rfind('\n', from - 1);
        from = newline == std::string::npos ? 0 : newline;
    }
    return from == 0 ? text : text.substr(from + 1);
}

void reportFailure(const char* name, const std::string& command, const Run& run) {
    std::printf("%s: FAILED (%s %s)\n%s", name, command.c_str(), run.failure.c_str(),
                tail(run.output).c_str());
    std::fflush(stdout);
}

// The wait from the play request to the first picture, beside the pace figures (which count
// from the first picture to the last).
void reportStartUp(const char* name, const std::string& output) {
    std::printf("%s: %.3f s (play request to first picture)\n", name,
                number(output, R"(start-up seconds: ([0-9.]+))"));
}

std::string playCommand(const std::filesystem::path& card) {
    return std::string(TACHY_PLAY) + " '" + card.string() + "'";
}

// The 1x figures: real-time factor, late pictures, CPU against ffmpeg, peak memory.
bool playAtNormalSpeed(const std::filesystem::path& card) {
    const Run normal = run(playCommand(card), static_cast<int>(kSeconds) * 3);
    const double factor = number(normal.output, R"(real-time factor: ([0-9.]+))");
    const double cpu = number(normal.output, R"(cpu seconds: ([0-9.]+))");
    const double pictures = number(normal.output, R"(channel 0: ([0-9]+) pictures)");
    const double late = number(normal.output, R"(late ([0-9]+))");
    const double resident = number(normal.output, R"(peak resident MB: ([0-9.]+))");
    if (!normal.failure.empty() || factor <= 0 || cpu <= 0 || pictures <= 0) {
        reportFailure("engine_3ch_1x", "tachy-play", normal);
        return false;
    }
    const double before = childrenCpu();
    for (const auto& entry : std::filesystem::directory_iterator(card / "normal")) {
        run("ffmpeg -v error -threads 1 -i '" + entry.path().string() + "' -f null -", 600);
    }
    const double ffmpegCpu = childrenCpu() - before;
    tachy::bench::report("engine_3ch_1x_real_time_factor", factor, 1.0, "real time", "");
    std::printf(
        "engine_3ch_1x_late_pictures: %.2f %% (%.0f of %.0f, more than one frame interval late)\n",
        100 * late / pictures, late, pictures);
    tachy::bench::report("engine_3ch_1x_cpu_seconds", cpu, ffmpegCpu,
                         "ffmpeg -threads 1 decoding the 3 files", "s");
    tachy::bench::report("engine_3ch_1x_peak_resident", resident, kMemoryTargetMb, "200 MB target",
                         "MB");
    reportStartUp("engine_3ch_1x_start_up", normal.output);
    return true;
}

void playFastForward(const std::filesystem::path& card) {
    const Run fast =
        run(playCommand(card) + " --speed 8 --speed-option 1", static_cast<int>(kSeconds));
    const double fastFactor = number(fast.output, R"(real-time factor: ([0-9.]+))");
    if (!fast.failure.empty() || fastFactor <= 0) {
        reportFailure("engine_3ch_8x", "tachy-play --speed 8", fast);
        return;
    }
    tachy::bench::report("engine_3ch_8x_keyframes_wall_per_recording_minute", 60 / fastFactor,
                         60.0 / 8, "60 s / 8", "s");
    reportStartUp("engine_3ch_8x_start_up", fast.output);
}

// The CPU an engine takes with the card open before playing, and paused after some play.
void measureRestingCpu(const std::filesystem::path& card) {
    char options[160];
    std::snprintf(options, sizeof options, " --idle-for %.0f --pause-after %.0f --pause-for %.0f",
                  kIdleSeconds, kPlayBeforePause, kPauseSeconds);
    const Run resting = run(playCommand(card) + options, 60);
    const double idle = number(resting.output, R"(idle cpu percent: ([0-9.]+))");
    const double paused = number(resting.output, R"(paused cpu percent: ([0-9.]+))");
    if (!resting.failure.empty() || idle < 0 || paused < 0) {
        reportFailure("engine_3ch_resting_cpu", "tachy-play --idle-for --pause-after", resting);
        return;
    }
    tachy::bench::report("engine_3ch_paused_cpu", paused, kCpuTargetPercent, "1 % target",
                         "% of a core");
    tachy::bench::report("engine_idle_card_open_cpu", idle, kCpuTargetPercent, "1 % target",
                         "% of a core");
}

void playFourK(const std::filesystem::path& card) {
    const Run play = run(playCommand(card), static_cast<int>(kFourKSeconds) * 6);
    const double factor = number(play.output, R"(real-time factor: ([0-9.]+))");
    const double pictures = number(play.output, R"(channel 0: ([0-9]+) pictures)");
    const double late = number(play.output, R"(late ([0-9]+))");
    const double resident = number(play.output, R"(peak resident MB: ([0-9.]+))");
    if (!play.failure.empty() || factor <= 0 || pictures <= 0) {
        reportFailure("engine_4k_1ch_1x", "tachy-play on 3840x2160", play);
        return;
    }
    tachy::bench::report("engine_4k_1ch_1x_real_time_factor", factor, 1.0, "real time", "");
    std::printf("engine_4k_1ch_1x_late_pictures: %.2f %% (%.0f of %.0f, more than one frame "
                "interval late)\n",
                100 * late / pictures, late, pictures);
    tachy::bench::report("engine_4k_1ch_1x_peak_resident", resident, kMemoryTargetMb,
                         "200 MB target", "MB");
}

} // namespace

int main() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tachy-bench-engine-" + std::to_string(::getpid()));
    const std::filesystem::path card = folder / "three";
    const std::filesystem::path fourK = folder / "4k";
    // Both cards at once: the generator works on one core each.
    const auto start = std::chrono::steady_clock::now();
    auto fourKMade = std::async(std::launch::async,
                                [&] { return makeCard(fourK, 1, kFourKSeconds, 3840, 2160); });
    const bool made = makeCard(card, 3, kSeconds, 1920, 1080);
    const double generation =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool fourKReady = fourKMade.get();
    if (!made) {
        std::filesystem::remove_all(folder);
        return 1;
    }
    tachy::bench::report("engine_camera_card_generation_seconds", generation, kSeconds,
                         "60 s recorded, 1080p + 2x720p, beside a 10 s 4K card", "s");
    const bool played = playAtNormalSpeed(card);
    playFastForward(card);
    measureRestingCpu(card);
    if (fourKReady) {
        playFourK(fourK);
    } else {
        std::printf("engine_4k_1ch_1x: FAILED (the 3840x2160 card could not be written)\n");
    }
    std::filesystem::remove_all(folder);
    return played ? 0 : 1;
}
