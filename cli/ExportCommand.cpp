// tachy export CARD --from T --to T --layout L OUT.mp4 [--height N] [--overlay]: the cameras of a
// span combined into one H.264/AAC MP4.

#include "cli/CardCatalogue.h"
#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/EstimatedProgress.h"
#include "cli/ExitCodes.h"
#include "cli/Interruption.h"
#include "cli/Progress.h"
#include "cli/StagedOutput.h"
#include "cli/TimeText.h"
#include "cli/VideoExporter.h"

#include <cstdio>

extern "C" {
#include <libavutil/log.h>
}

namespace tachy::cli {
namespace {

// Each camera's files of the entries that overlap the span, in time order, with the start
// time their names give; cameras without a file in the span are left out (the front stays
// first).
std::vector<std::vector<ClipSource>> CamerasOf(const CardCatalogue& catalogue, std::int64_t fromMs,
                                               std::int64_t toMs) {
    std::vector<std::vector<ClipSource>> cameras;
    for (int channel = 0; channel < CTimeList::kChannels; ++channel) {
        std::vector<ClipSource> sources;
        for (const CTimeList& entry : catalogue.Entries()) {
            if (entry.m_llEndTime[0] <= fromMs || entry.m_llStartTime[0] >= toMs) {
                continue;
            }
            for (const std::string& file : entry.m_fileList[static_cast<std::size_t>(channel)]) {
                naming::StreamFileName name;
                if (naming::ParseName(catalogue.Format(),
                                      std::filesystem::path(file).filename().string(), name)) {
                    // An ".av2" file holds every camera: the channel is its video stream.
                    sources.push_back(
                        {file, name.timeMs, catalogue.Kind() == ".av2" ? channel : 0});
                }
            }
        }
        if (!sources.empty() || channel == 0) {
            cameras.push_back(std::move(sources));
        }
    }
    return cameras;
}

} // namespace

int RunExport(const std::vector<std::string>& words) {
    Prepared prepared =
        Prepare("export", words,
                Arguments({"--from", "--to", "--layout", "--height"}, {"--overlay"}), 2, 2);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const auto from = ParseDateTime(arguments.Value("--from").value_or(""));
    const auto to = ParseDateTime(arguments.Value("--to").value_or(""));
    if (!from || !to || *to <= *from) {
        return Fail("export",
                    "--from and --to are times YYYY-MM-DD HH:MM:SS (UTC), --to after --from",
                    kExitUsage);
    }
    const auto layout = ExportLayout::KindNamed(arguments.Value("--layout").value_or("front"));
    if (!layout) {
        return Fail("export", "--layout is front, side-by-side, grid or pip", kExitUsage);
    }
    bool ok = true;
    const double height = arguments.Number("--height", ok).value_or(0);
    if (!ok || height < 0 || height > 4320 || height != static_cast<int>(height) ||
        (height > 0 && height < 16)) {
        return Fail("export", "--height is a picture height from 16 to 4320", kExitUsage);
    }
    const std::filesystem::path output = arguments.Positional()[1];
    const auto options = OptionFolderFor("export", arguments);
    if (!options) {
        return kExitFailure;
    }
    const std::string card = arguments.Positional()[0];
    CardCatalogue catalogue;
    {
        Progress progress("reading the card", arguments.Has("--progress"));
        if (!std::filesystem::is_directory(card) || !catalogue.Scan(card, *options, progress)) {
            return Fail("export", "no recordings found in " + card, kExitFailure);
        }
    }
    auto cameras = CamerasOf(catalogue, *from, *to);
    if (cameras.front().empty()) {
        return Fail("export", "no recording of the front camera lies between the two times",
                    kExitFailure);
    }
    // The libraries' own warnings (a driving-data stream they do not know) are not for users;
    // failures are reported as the command's own message.
    av_log_set_level(AV_LOG_QUIET);
    StagedOutput staged(output);
    VideoExporter exporter(std::move(cameras), *layout, static_cast<int>(height));
    EstimatedProgress progress("exporting", arguments.Has("--progress"), *to - *from);
    exporter.SetProgress(&progress);
    exporter.SetOverlay(arguments.Has("--overlay"));
    const Interruption interruption;
    exporter.SetObserver(
        [&interruption](std::int64_t, std::int64_t) { return !interruption.Requested(); });
    std::string error;
    const bool exported = exporter.Export(*from, *to, staged.Temporary(), error);
    progress.Finish();
    if (const int code = FinishOutput("export", exported, error, staged, interruption);
        code != kExitOk) {
        return code;
    }
    std::printf("%s: %d pictures of %dx%d%s, %s to %s\n", output.c_str(), exporter.Pictures(),
                exporter.Width(), exporter.Height(), exporter.WithSound() ? " with sound" : "",
                IsoTimeText(*from).c_str(), IsoTimeText(*to).c_str());
    return kExitOk;
}

} // namespace tachy::cli
