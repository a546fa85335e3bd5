// tachy clip CARD --from T --to T OUT.avi [--channel N]: a span of recordings in one clip.

#include "cli/CardCatalogue.h"
#include "cli/ClipBuilder.h"
#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "cli/Interruption.h"
#include "cli/Progress.h"
#include "cli/SpanCameras.h"
#include "cli/StagedOutput.h"
#include "cli/TimeText.h"

#include <cstdio>

namespace tachy::cli {

int RunClip(const std::vector<std::string>& words) {
    Prepared prepared =
        Prepare("clip", words, Arguments({"--from", "--to", "--channel"}, {}), 2, 2);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const auto from = ParseDateTime(arguments.Value("--from").value_or(""));
    const auto to = ParseDateTime(arguments.Value("--to").value_or(""));
    if (!from || !to || *to <= *from) {
        return Fail("clip",
                    "--from and --to are times YYYY-MM-DD HH:MM:SS (UTC), --to after --from",
                    kExitUsage);
    }
    bool ok = true;
    const double channel = arguments.Number("--channel", ok).value_or(1);
    if (!ok || channel < 1 || channel > CTimeList::kChannels ||
        channel != static_cast<int>(channel)) {
        return Fail("clip", "--channel is 1, 2 or 3", kExitUsage);
    }
    const auto options = OptionFolderFor("clip", arguments);
    if (!options) {
        return kExitFailure;
    }
    const std::string card = arguments.Positional()[0];
    const std::filesystem::path output = arguments.Positional()[1];
    CardCatalogue catalogue;
    {
        Progress progress("reading the card", arguments.Has("--progress"));
        if (!std::filesystem::is_directory(card) || !catalogue.Scan(card, *options, progress)) {
            return Fail("clip", "no recordings found in " + card, kExitFailure);
        }
    }
    const SpanCameras::StartOf startOf = [&catalogue](const std::filesystem::path& file) {
        return catalogue.StartOfFile(file);
    };
    const std::vector<ClipSource> sources =
        SpanCameras::OfCamera(catalogue.Entries(), startOf, catalogue.Kind() == ".av2",
                              static_cast<int>(channel) - 1, *from, *to);
    if (sources.empty()) {
        return Fail("clip",
                    "no recording of camera " + std::to_string(static_cast<int>(channel)) +
                        " lies between the two times",
                    kExitFailure);
    }
    StagedOutput staged(output);
    const Interruption interruption;
    ClipBuilder builder;
    Progress copying("copying recordings", arguments.Has("--progress"));
    builder.SetProgress(&copying);
    builder.SetObserver(
        [&interruption](std::int64_t, std::int64_t) { return !interruption.Requested(); });
    std::string error;
    const bool built = builder.Build(sources, *from, *to, staged.Temporary(), error);
    copying.Finish();
    if (const int code = FinishOutput("clip", built, error, staged, interruption);
        code != kExitOk) {
        return code;
    }
    std::printf("%s: %d frames from %s (a key frame) to %s\n", output.c_str(), builder.Frames(),
                IsoTimeText(builder.FirstFrameMs()).c_str(), IsoTimeText(*to).c_str());
    return kExitOk;
}

} // namespace tachy::cli
