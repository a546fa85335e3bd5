// tachy export CARD --from T --to T --layout L OUT.mp4 [--height N] [--overlay]: the cameras of a
// span combined into one H.264/AAC MP4.

#include "cli/CardCatalogue.h"
#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/EstimatedProgress.h"
#include "cli/ExitCodes.h"
#include "cli/Interruption.h"
#include "cli/Progress.h"
#include "cli/SpanCameras.h"
#include "cli/StagedOutput.h"
#include "cli/TimeText.h"
#include "cli/VideoExporter.h"

#include <cstdio>
#include <optional>

extern "C" {
#include <libavutil/log.h>
}

namespace tachy::cli {

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
    const SpanCameras::StartOf startOf = [&catalogue](const std::filesystem::path& file) {
        return catalogue.StartOfFile(file);
    };
    auto cameras = SpanCameras::Of(catalogue.Entries(), startOf, catalogue.Kind() == ".av2",
                                   *from, *to);
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
