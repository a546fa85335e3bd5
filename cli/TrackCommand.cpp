// tachy track CARD|FILE --format gpx|kml|csv|geojson [-o OUT]: the route in a standard format.

#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "cli/Progress.h"
#include "cli/TrackWriter.h"

#include <fstream>
#include <iostream>

namespace tachy::cli {

int RunTrack(const std::vector<std::string>& words) {
    Prepared prepared =
        Prepare("track", words, Arguments({"--format", "-o", "--output"}, {}), 1, 1);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    TrackWriter::Format format{};
    if (!TrackWriter::ParseFormat(arguments.Value("--format").value_or(""), format)) {
        return Fail("track", "--format must be gpx, kml, csv or geojson", kExitUsage);
    }
    const auto options = OptionFolderFor("track", arguments);
    if (!options) {
        return kExitFailure;
    }
    TrackSource source;
    std::string error;
    {
        Progress progress("reading the card", arguments.Has("--progress"));
        if (!source.Read(arguments.Positional()[0], *options, progress, error)) {
            return Fail("track", error, kExitFailure);
        }
    }
    const auto output = arguments.Value("-o") ? arguments.Value("-o") : arguments.Value("--output");
    if (!output || *output == "-") {
        TrackWriter::Write(format, source.Files(), std::cout);
        std::cout.flush();
        return std::cout ? kExitOk : kExitFailure;
    }
    // Written beside the target and renamed over it, so that a failed run leaves no half track.
    const std::string temporary = *output + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        TrackWriter::Write(format, source.Files(), out);
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return Fail("track", "cannot write " + *output, kExitFailure);
        }
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, *output, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, renameError);
        return Fail("track", "cannot write " + *output, kExitFailure);
    }
    return kExitOk;
}

} // namespace tachy::cli
