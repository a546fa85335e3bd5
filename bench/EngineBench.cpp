// The replay engine playing a three-channel entry (1920x1080 front, two 1280x720) through
// tachy-play: at 1x the real-time factor, the share of pictures shown late by more than one
// frame interval, and the process CPU time against decoding the same three files with
// `ffmpeg -threads 1 -f null -`; at 8x with key frames only, the wall time per recording minute.

#include "bench/BenchTimer.h"
#include "tools/mkcard/CardGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr double kSeconds = 60;

bool makeCard(const std::filesystem::path& card) {
    const auto rule = std::filesystem::path(TACHY_DATA_DIR) / "_option" / "FileNameRule_A.ini";
    std::string error;
    mkcard::CardOptions options;
    options.rule = rule;
    options.out = card;
    options.channels = 3;
    options.seconds = kSeconds;
    options.width = 1280;
    options.height = 720;
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    // The front camera records 1080p: a one-channel card of that size gives channel 0's file.
    mkcard::CardOptions front = options;
    front.out = card.string() + "-front";
    front.channels = 1;
    front.width = 1920;
    front.height = 1080;
    if (!mkcard::generateCard(front, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    for (const auto& entry : std::filesystem::directory_iterator(front.out / "normal")) {
        std::filesystem::copy_file(entry.path(), card / "normal" / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    std::filesystem::remove_all(front.out);
    return true;
}

double childrenCpu() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string run(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    std::size_t got = 0;
    while (pipe != nullptr && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return output;
}

double number(const std::string& text, const char* pattern) {
    std::smatch match;
    return std::regex_search(text, match, std::regex(pattern)) ? std::stod(match[1]) : -1;
}

} // namespace

int main() {
    const std::filesystem::path card =
        std::filesystem::temp_directory_path() / ("tachy-bench-engine-" + std::to_string(::getpid()));
    if (!makeCard(card)) {
        return 1;
    }
    const std::string play = std::string(TACHY_PLAY) + " '" + card.string() + "'";

    const std::string normal = run(play);
    const double factor = number(normal, R"(real-time factor: ([0-9.]+))");
    const double cpu = number(normal, R"(cpu seconds: ([0-9.]+))");
    const double pictures = number(normal, R"(channel 0: ([0-9]+) pictures)");
    const double late = number(normal, R"(late ([0-9]+))");

    const double before = childrenCpu();
    for (const auto& entry : std::filesystem::directory_iterator(card / "normal")) {
        run("ffmpeg -v error -threads 1 -i '" + entry.path().string() + "' -f null - 2>&1");
    }
    const double ffmpegCpu = childrenCpu() - before;

    const std::string fast = run(play + " --speed 8 --speed-option 1");
    const double fastFactor = number(fast, R"(real-time factor: ([0-9.]+))");
    std::filesystem::remove_all(card);
    if (factor <= 0 || cpu <= 0 || pictures <= 0 || fastFactor <= 0) {
        std::fprintf(stderr, "bench: tachy-play did not report its figures:\n%s%s", normal.c_str(), fast.c_str());
        return 1;
    }
    tachy::bench::report("engine_3ch_1x_real_time_factor", factor, 1.0, "real time", "");
    std::printf("engine_3ch_1x_late_pictures: %.2f %% (%.0f of %.0f, more than one frame interval late)\n",
                100 * late / pictures, late, pictures);
    tachy::bench::report("engine_3ch_1x_cpu_seconds", cpu, ffmpegCpu, "ffmpeg -threads 1 decoding the 3 files", "s");
    const double wallPerMinute = 60 / fastFactor;
    tachy::bench::report("engine_3ch_8x_keyframes_wall_per_recording_minute", wallPerMinute, 60.0 / 8,
                         "60 s / 8", "s");
    return 0;
}
