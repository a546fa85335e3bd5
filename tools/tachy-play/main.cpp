// tachy-play: plays a card through the replay engine to null outputs and reports what was
// shown, for tests, benchmarks and checking a card by hand.
//   tachy-play CARD [--rules DIR] [--row N] [--speed S] [--backward] [--seconds N]
//              [--rear-delay MS] [--speed-option 1|2] [--idle-for N]
//              [--pause-after N --pause-for N] [--memory-every N]
// --idle-for measures the CPU the engine takes with the card open and nothing playing before
// playback starts; --pause-after plays that long, then pauses and measures the paused engine's
// CPU over --pause-for seconds; the picture figures then cover the play before the pause.
// --memory-every prints, every N seconds of play, the resident memory and how far the front
// picture's recording time has fallen behind (or run ahead of) the wall clock times the speed;
// the run then keeps no record of each picture, so that its own memory stays flat for hours.
// Files under the card that could not be listed are named on stderr, whether or not others played.
// Exits 0 when the card was played, 1 when it could not be, 2 on a bad option.

#include "audio/sound/CDxSoundEx.h"
#include "engine/IIntrReplayEx.h"
#include "engine/UnreadableFileReport.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "util/naming/AviNameFormat.h"

#include "platform/fs/DirectoryListing.h"

#include <algorithm>
#include <chrono>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <thread>

namespace {

struct Options {
    std::filesystem::path card;
    std::filesystem::path rules;
    int row = 0;
    double speed = 1.0;
    bool backward = false;
    double seconds = 0;  // 0: to the end of the list
    int rearDelay = 0;
    int speedOption = 1;
    bool sound = false;  // play the sound through the sound output (SDL; dummy driver by default)
    double idleFor = 0;     // seconds of CPU measurement with the card open, before playing
    double pauseAfter = 0;  // seconds of play before pausing (0: no pause)
    double pauseFor = 3;    // seconds of CPU measurement while paused
    double memoryEvery = 0; // seconds between memory lines (0: none)
};

// A whole number or decimal, refusing text that is not one.
bool toNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

bool parse(int argc, char** argv, Options& options) {
    double value = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--backward") {
            options.backward = true;
        } else if (option == "--sound") {
            options.sound = true;
        } else if (i + 1 < argc && option == "--rules") {
            options.rules = argv[++i];
        } else if (i + 1 < argc && option == "--row" && toNumber(argv[i + 1], value)) {
            options.row = static_cast<int>(value);
            ++i;
        } else if (i + 1 < argc && option == "--speed" && toNumber(argv[i + 1], value)) {
            options.speed = value;
            ++i;
        } else if (i + 1 < argc && option == "--seconds" && toNumber(argv[i + 1], value)) {
            options.seconds = value;
            ++i;
        } else if (i + 1 < argc && option == "--rear-delay" && toNumber(argv[i + 1], value)) {
            options.rearDelay = static_cast<int>(value);
            ++i;
        } else if (i + 1 < argc && option == "--speed-option" && toNumber(argv[i + 1], value)) {
            options.speedOption = static_cast<int>(value);
            ++i;
        } else if (i + 1 < argc && option == "--idle-for" && toNumber(argv[i + 1], value)) {
            options.idleFor = value;
            ++i;
        } else if (i + 1 < argc && option == "--pause-after" && toNumber(argv[i + 1], value)) {
            options.pauseAfter = value;
            ++i;
        } else if (i + 1 < argc && option == "--pause-for" && toNumber(argv[i + 1], value)) {
            options.pauseFor = value;
            ++i;
        } else if (i + 1 < argc && option == "--memory-every" && toNumber(argv[i + 1], value) && value > 0) {
            options.memoryEvery = value;
            ++i;
        } else if (options.card.empty() && option.rfind("--", 0) != 0) {
            options.card = option;
        } else {
            return false;
        }
    }
    return !options.card.empty() && options.speed > 0;
}

// The naming rules: beside the program (the build copies them there), installed, or the sources.
std::filesystem::path rulesFolder(const Options& options, const char* program) {
    if (!options.rules.empty()) {
        return options.rules;
    }
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe").parent_path();
    for (const auto& candidate : {self / "_option", self / ".." / "share" / "tachy" / "_option",
                                  std::filesystem::path(TACHY_DATA_DIR) / "_option"}) {
        if (std::filesystem::is_directory(candidate)) {
            return candidate;
        }
    }
    (void)program;
    return {};
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The process's CPU time over the next `seconds` as a percentage of one core, after a quarter
// of a second for the engine's threads to reach the state just asked for.
double cpuPercentOver(double seconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return wall > 0 ? 100 * (cpuSeconds() - cpuBefore) / wall : 0;
}

// The largest resident set the process has had (VmHWM), in MB; -1 when it cannot be read.
double peakResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024;
        }
    }
    return -1;
}

// The process's resident memory now (VmRSS), in KiB; -1 when it cannot be read.
long residentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

// Plays to the end (or for --seconds), printing every --memory-every seconds the resident memory
// and the playback clock's lag: the wall time since the first front picture times the speed,
// less the recording time played since it (positive: the pictures fall behind).
void waitPrintingMemory(tachy::play::HeadlessViewer& viewer, const Options& options) {
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&start] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    while (options.seconds <= 0 || elapsed() < options.seconds) {
        const double wait = options.seconds > 0 ? std::min(options.memoryEvery, options.seconds - elapsed())
                                                : options.memoryEvery;
        if (viewer.WaitForEnd(std::max(wait, 0.0))) {
            break;
        }
        const auto pictures = viewer.Pictures();
        const double wall = elapsed();
        double played = 0;
        double lag = 0;
        if (pictures.size() == 2) {
            played = static_cast<double>(std::abs(pictures.back().timeMs - pictures.front().timeMs)) / 1000;
            const auto nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count();
            lag = static_cast<double>(nowMs - pictures.front().wallMs) / 1000 * options.speed - played;
        }
        std::printf("memory: wall %.0f s, resident %ld KiB, recording played %.3f s, clock lag %.3f s, "
                    "pictures %zu\n",
                    wall, residentKib(), played, lag, viewer.PictureCount());
        std::fflush(stdout);
    }
}

// The stream files that gave no recording, each with its reason, judged by every rule.
void reportUnreadable(const std::filesystem::path& card, const std::filesystem::path& rules) {
    std::vector<_AVI_NAME_FORMAT2> formats;
    for (const auto& rule : tachy::DirectoryListing::list(rules, "FileNameRule_*.ini")) {
        formats.push_back(naming::ReadNameFormat(rules / rule.name, 2));
    }
    const UnreadableFileReport report(card, formats);
    if (!report.Files().empty()) {
        std::fprintf(stderr, "tachy-play: files that could not be read:\n%s",
                     report.Text(report.Files().size()).c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: tachy-play CARD [--rules DIR] [--row N] [--speed S] [--backward] "
                             "[--seconds N] [--rear-delay MS] [--speed-option 1|2] [--sound] "
                             "[--idle-for N] [--pause-after N --pause-for N] [--memory-every N]\n");
        return 2;
    }
    tachy::play::HeadlessViewer viewer;
    std::unique_ptr<CDxSoundEx> sound;
    tachy::play::SoundMeter meter;
    if (options.sound) {
        // A real device only when asked for; set before any thread of ours starts.
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);  // NOLINT(concurrency-mt-unsafe)
        sound = std::make_unique<CDxSoundEx>();
        sound->CreateDxSound(nullptr);
        sound->SetTap([&meter](const std::uint8_t*, std::size_t size) { meter.OnCopy(size); });
        viewer.SetSoundOutput(sound.get(), &meter);
    }
    auto engine = IIntrReplayEx::Create();
    engine->Initialize(nullptr, IVideoDecoder::kFormatYuv);
    engine->SetCallback(&tachy::play::HeadlessViewer::Callback, &viewer);
    engine->SetDbPath(options.card.string());
    // Each naming rule in turn, until one finds stream files, as the viewer does.
    const std::filesystem::path rules = rulesFolder(options, argv[0]);
    bool found = false;
    for (const auto& rule : tachy::DirectoryListing::list(rules, "FileNameRule_*.ini")) {
        engine->SetAviFileNameFormat(naming::ReadNameFormat(rules / rule.name, 2));
        if (engine->CheckRecordMode() == 1 && engine->TotalStreamFileCount() > 0) {
            found = true;
            break;
        }
    }
    if (!found || engine->procOpenList() == 0 || viewer.Entries().empty()) {
        std::fprintf(stderr, "tachy-play: no recordings found in %s\n", options.card.c_str());
        reportUnreadable(options.card, rules);
        return 1;
    }
    reportUnreadable(options.card, rules);
    viewer.Clear();
    viewer.SetKeepRecords(options.memoryEvery <= 0);
    viewer.SetCurrentRow(options.row);
    engine->SetRearCameraDelay(options.rearDelay);
    engine->SetPBSpeedOption(options.speedOption);
    engine->SetPBSpeed(options.speed);
    if (options.idleFor > 0) {
        std::printf("idle cpu percent: %.2f\n", cpuPercentOver(options.idleFor));
    }
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const auto startMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()).count();
    const int started = options.backward ? engine->PlayBackward() : engine->PlayForward();
    if (started == 0 && !options.backward) {
        std::fprintf(stderr, "tachy-play: row %d cannot be played\n", options.row);
        return 1;
    }
    if (options.pauseAfter > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(options.pauseAfter));
    } else if (options.memoryEvery > 0) {
        waitPrintingMemory(viewer, options);
    } else if (options.seconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(options.seconds));
    } else {
        viewer.WaitForEnd(24 * 3600.0);
    }
    const auto end = std::chrono::steady_clock::now();
    const double wall = std::chrono::duration<double>(end - start).count();
    // Under-runs while the engine still had sound to give: the output's queue runs dry once more
    // after the last block, by design, and that one is not counted.
    const int underRuns = viewer.UnderRuns();
    if (options.pauseAfter > 0) {
        engine->Pause();
        std::printf("paused cpu percent: %.2f\n", cpuPercentOver(options.pauseFor));
    }
    engine->Stop();
    const double cpu = cpuSeconds() - cpuBefore;
    if (sound) {
        viewer.SetSoundOutput(nullptr, nullptr);
        sound->DeleteDxSound();
    }

    const auto pictures = viewer.Pictures();
    int late = 0;
    double recorded = 0; // recording time from the first to the last picture shown
    double shownFor = 0; // wall time between showing them
    double startUp = 0;  // from the play request to the first picture
    if (!pictures.empty()) {
        // Each picture's delay against its place on the recording's timeline, measured from the
        // typical (median) delay, so that the start-up wait, which shifts every picture alike, is
        // not counted as lateness.
        const double interval = 1000.0 / 30;
        std::vector<double> delays;
        for (const auto& picture : pictures) {
            const double expected = static_cast<double>(std::abs(picture.timeMs - pictures.front().timeMs)) / options.speed;
            delays.push_back(static_cast<double>(picture.wallMs - pictures.front().wallMs) - expected);
        }
        std::vector<double> sorted = delays;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2), sorted.end());
        const double baseline = sorted[sorted.size() / 2];
        for (const double delay : delays) {
            late += delay - baseline > interval ? 1 : 0;
        }
        recorded = static_cast<double>(std::abs(pictures.back().timeMs - pictures.front().timeMs)) / 1000;
        shownFor = static_cast<double>(pictures.back().wallMs - pictures.front().wallMs) / 1000;
        startUp = static_cast<double>(pictures.front().wallMs - startMs) / 1000;
        std::printf("channel 0: %zu pictures, first %lld, last %lld, late %d\n", viewer.PictureCount(),
                    static_cast<long long>(pictures.front().timeMs), static_cast<long long>(pictures.back().timeMs),
                    late);
    }
    for (int channel = 1; channel < 3; ++channel) {
        std::printf("channel %d: %d pictures\n", channel, viewer.ChannelCount(channel));
    }
    std::printf("sound blocks accepted: %d\n", viewer.SoundBlocks());
    if (options.sound) {
        std::printf("sound under-runs: %d, largest sound drift from the front picture: %.1f ms\n", underRuns,
                    viewer.MaxDriftMs());
        std::printf("sound device clock lag: %.1f ms, largest drift without it: %.1f ms\n", meter.DeviceLagMs(),
                    viewer.MaxDriftWithoutDeviceLagMs());
    }
    // The pace is the recording time played per wall second between the first and the last
    // picture; the wait for the first picture is reported on its own, since it is a latency and
    // not a speed (it would otherwise count against short plays far more than long ones).
    std::printf("recorded seconds: %.3f, wall seconds: %.3f, real-time factor: %.3f, cpu seconds: %.3f\n",
                recorded, shownFor, shownFor > 0 ? recorded / shownFor : 0.0, cpu);
    std::printf("start-up seconds: %.3f, total wall seconds: %.3f\n", startUp, wall);
    std::printf("peak resident MB: %.1f\n", peakResidentMb());
    return pictures.empty() ? 1 : 0;
}
