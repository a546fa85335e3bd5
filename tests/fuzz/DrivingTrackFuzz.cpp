// Feeds arbitrary bytes to the command-line tool's driving-data reading as one recording file,
// as `tachy track FILE` and `tachy events FILE` read it: the driving-data stream found by the
// RIFF reader, every record converted and timed, then the samples written in each track format
// and searched for incidents. Nothing may crash, hang or read out of bounds, and every sample
// must carry a sane time, finite G-forces and, with a position, degrees on the globe.

#include "cli/DrivingTrack.h"
#include "cli/IncidentFinder.h"
#include "cli/TrackWriter.h"

#include "tests/fuzz/FuzzScratch.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL; // the recording's start by its name

std::string ScratchPath() {
    static const std::string path = tachy::fuzz::scratchFile("track.avi");
    return path;
}

void Check(const tachy::cli::DrivingSample& sample) {
    const bool placed = !sample.hasPosition ||
                        (std::fabs(sample.latitude) <= 90 && std::fabs(sample.longitude) <= 180);
    const bool forces = !sample.hasGForce || (std::isfinite(sample.gx) &&
                                              std::isfinite(sample.gy) && std::isfinite(sample.gz));
    if (sample.timeMs < 0 || !placed || !forces) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tachy::cli;
    const std::string& path = ScratchPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    DrivingTrack track;
    if (track.Read(path, kStartMs)) {
        for (const DrivingSample& sample : track.Samples()) {
            Check(sample);
        }
        const std::vector<FileSamples> files = {{path, track.Samples()}};
        for (const auto format : {TrackWriter::Format::Gpx, TrackWriter::Format::Kml,
                                  TrackWriter::Format::Csv, TrackWriter::Format::GeoJson}) {
            std::ostringstream out;
            TrackWriter::Write(format, files, out);
        }
        IncidentFinder(IncidentThresholds{}).Find(files);
    }
    std::remove(path.c_str());
    return 0;
}
