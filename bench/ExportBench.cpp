// tachy export against ffmpeg's own command line: one minute of a generated three-camera card
// (640x360 at 30 pictures a second, mu-law sound) combined side by side into one H.264/AAC MP4.
// Printed: tachy export's time as a multiple of real time, the same for ffmpeg doing the same
// job (hstack of the three files, libx264 at the same preset, the front camera's sound as AAC,
// faststart), and the ratio of the two times measured in this run.

#include "bench/BenchCommand.h"
#include "bench/BenchTimer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr double kSeconds = 60;

bool makeCard(const std::filesystem::path& card) {
    return tachy::bench::makeCard(TACHY_MKCARD, TACHY_DATA_DIR, card,
                                  "--channels 3 --seconds 60 --period 60 --size 640x360 --fps 30");
}

} // namespace

int main() {
    const std::filesystem::path work = std::filesystem::temp_directory_path() /
                                       ("tachy-bench-export-" + std::to_string(::getpid()));
    const std::filesystem::path card = work / "card";
    if (!makeCard(card)) {
        return 1;
    }
    const std::string recording = (card / "normal" / "TCY_0001_20240229_130509_N_").string();
    const std::string ours = std::string(TACHY_TOOL) + " export '" + card.string() +
                             "' --from '2024-02-29 13:05:09' --to '2024-02-29 13:06:09' "
                             "--layout side-by-side '" +
                             (work / "tachy.mp4").string() + "' >/dev/null 2>&1";
    const std::string reference =
        "ffmpeg -v error -y -i '" + recording + "1.avi' -i '" + recording + "2.avi' -i '" +
        recording +
        "3.avi' -filter_complex '[0:v][1:v][2:v]hstack=inputs=3[v]' -map '[v]' -map 0:a "
        "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -movflags +faststart '" +
        (work / "ffmpeg.mp4").string() + "' >/dev/null 2>&1";
    bool ok = true;
    const double oursMs =
        tachy::bench::medianMilliseconds(3, [&] { ok = ok && std::system(ours.c_str()) == 0; });
    const double referenceMs = tachy::bench::medianMilliseconds(
        3, [&] { ok = ok && std::system(reference.c_str()) == 0; });
    std::filesystem::remove_all(work);
    if (!ok) {
        std::fprintf(stderr, "bench: an export failed\n");
        return 1;
    }
    const double realMs = kSeconds * 1000;
    std::printf("export_side_by_side_3x640x360_1min_ffmpeg: %.2fx real time (%.0f ms)\n",
                realMs / referenceMs, referenceMs);
    tachy::bench::report("export_side_by_side_3x640x360_1min", realMs / oursMs,
                         realMs / referenceMs, "ffmpeg -filter_complex hstack, libx264 veryfast",
                         "x real time");
    std::printf("export_side_by_side_time: %.0f ms (%.2fx ffmpeg's time)\n", oursMs,
                oursMs / referenceMs);
    return 0;
}
