// tachy info FILE [--json]: one recording's streams, figures and driving data.

#include "cli/CardCatalogue.h"
#include "cli/CodecName.h"
#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/DrivingTrack.h"
#include "cli/ExitCodes.h"
#include "cli/ProgramFolder.h"
#include "cli/RecordingName.h"
#include "cli/TextEscape.h"
#include "cli/TimeText.h"
#include "util/avi/AviErrors.h"
#include "util/avi/ParsedAviFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tachy::cli {
namespace {

// One stream as a line of text and as a JSON object.
struct StreamFigures {
    std::string type;
    std::string codec;
    std::string detail;
    std::string json;
    std::int64_t durationMs = 0;
};

template <typename T> T FormatOf(const util::ParsedAviStream& stream) {
    T format{};
    std::memcpy(&format, stream.formatBytes.data(),
                std::min(sizeof format, stream.formatBytes.size()));
    return format;
}

StreamFigures Figures(const util::ParsedAviStream& stream) {
    StreamFigures figures;
    const auto samples = static_cast<std::int64_t>(stream.length());
    figures.durationMs = std::max<std::int64_t>(0, stream.sampleToTime(samples));
    const double rate = stream.header.dwScale == 0
                            ? 0
                            : static_cast<double>(stream.header.dwRate) / stream.header.dwScale;
    char text[256];
    if (stream.header.fccType == tachy::avi::kVids) {
        const auto format = FormatOf<tachy::avi::BitmapInfoHeader>(stream);
        const auto keys =
            std::count_if(stream.index.begin(), stream.index.end(), [](const auto& entry) {
                return (entry.dwFlags & tachy::avi::kIndexKeyFrame) != 0;
            });
        figures.type = "video";
        const auto tag =
            format.biCompression != 0 ? format.biCompression : stream.header.fccHandler;
        figures.codec = CodecName(tag) + " (" + FourCCText(tag) + ")";
        std::snprintf(text, sizeof text, "%dx%d, %.3f frames/s, %lld frames, %ld key frames",
                      format.biWidth, std::abs(format.biHeight), rate,
                      static_cast<long long>(samples), static_cast<long>(keys));
        figures.detail = text;
        std::snprintf(
            text, sizeof text,
            "\"width\": %d, \"height\": %d, \"rate\": %.3f, \"frames\": %lld, \"keyFrames\": %ld",
            format.biWidth, std::abs(format.biHeight), rate, static_cast<long long>(samples),
            static_cast<long>(keys));
    } else if (stream.header.fccType == tachy::avi::kAuds) {
        const auto format = FormatOf<tachy::avi::WaveFormatEx>(stream);
        figures.type = "audio";
        figures.codec = format.wFormatTag == 1   ? "pcm"
                        : format.wFormatTag == 7 ? "mulaw"
                        : format.wFormatTag == 6 ? "alaw"
                                                 : "format " + std::to_string(format.wFormatTag);
        std::snprintf(text, sizeof text, "%u Hz, %u bit, %u channel(s), %lld chunks",
                      format.nSamplesPerSec, format.wBitsPerSample, format.nChannels,
                      static_cast<long long>(samples));
        figures.detail = text;
        std::snprintf(text, sizeof text,
                      "\"sampleRate\": %u, \"bits\": %u, \"channels\": %u, \"chunks\": %lld",
                      format.nSamplesPerSec, format.wBitsPerSample, format.nChannels,
                      static_cast<long long>(samples));
    } else {
        figures.type = stream.header.fccType == tachy::avi::kTxts
                           ? "driving data"
                           : FourCCText(stream.header.fccType);
        figures.codec = FourCCText(stream.header.fccHandler);
        std::snprintf(text, sizeof text, "%.3f records/s, %lld records", rate,
                      static_cast<long long>(samples));
        figures.detail = text;
        std::snprintf(text, sizeof text, "\"rate\": %.3f, \"records\": %lld", rate,
                      static_cast<long long>(samples));
    }
    figures.json = std::string("{\"type\": ") + JsonString(figures.type) +
                   ", \"codec\": " + JsonString(figures.codec) + ", " + text + "}";
    return figures;
}

struct TrackFigures {
    int positions = 0;
    int topSpeed = 0;
};

TrackFigures Summarise(const DrivingTrack& track) {
    TrackFigures figures;
    for (const DrivingSample& sample : track.Samples()) {
        figures.positions += sample.hasPosition ? 1 : 0;
        figures.topSpeed = std::max(figures.topSpeed, sample.hasPosition ? sample.speedKmh : 0);
    }
    return figures;
}

void PrintText(const std::string& file, const std::optional<RecordingName>& name,
               const util::ParsedAviFile& parsed, const std::vector<StreamFigures>& streams,
               const DrivingTrack& track) {
    std::error_code error;
    std::printf("file: %s\nsize: %ju bytes\n", file.c_str(),
                std::filesystem::file_size(file, error));
    if (name) {
        std::printf("start: %s UTC\nchannel: %d\nfile number: %d\nmode: %s\nnaming rule: %s\n",
                    DateTimeText(name->fields.timeMs).c_str(), name->fields.channel,
                    name->fields.fileNumber, CardCatalogue::ModeName(name->fields.recordMode),
                    name->rule.c_str());
    }
    const std::int64_t duration = streams.empty() ? 0 : streams.front().durationMs;
    std::printf("duration: %.3f s\nindex: %s\nstreams:\n", static_cast<double>(duration) / 1000,
                parsed.indexRebuilt() ? "rebuilt from the movie data (the file has none)"
                                      : "present");
    for (std::size_t i = 0; i < streams.size(); ++i) {
        std::printf("  %zu %s %s: %s\n", i, streams[i].type.c_str(), streams[i].codec.c_str(),
                    streams[i].detail.c_str());
    }
    std::printf("driving data:");
    for (const auto& [kind, count] : track.KindCounts()) {
        std::printf(" %s %d", kind.c_str(), count);
    }
    const TrackFigures figures = Summarise(track);
    std::printf("%s\npositions: %d\ntop speed: %d km/h\n",
                track.KindCounts().empty() ? " none" : "", figures.positions, figures.topSpeed);
}

void PrintJson(const std::string& file, const std::optional<RecordingName>& name,
               const util::ParsedAviFile& parsed, const std::vector<StreamFigures>& streams,
               const DrivingTrack& track) {
    std::error_code error;
    std::printf("{\n  \"file\": %s,\n  \"size\": %ju,\n", JsonString(file).c_str(),
                std::filesystem::file_size(file, error));
    if (name) {
        std::printf(
            "  \"start\": %s,\n  \"startMs\": %lld,\n  \"channel\": %d,\n  \"fileNumber\": %d,\n"
            "  \"mode\": %s,\n",
            JsonString(IsoTimeText(name->fields.timeMs)).c_str(),
            static_cast<long long>(name->fields.timeMs), name->fields.channel,
            name->fields.fileNumber,
            JsonString(CardCatalogue::ModeName(name->fields.recordMode)).c_str());
    }
    const std::int64_t duration = streams.empty() ? 0 : streams.front().durationMs;
    std::printf("  \"durationMs\": %lld,\n  \"indexRebuilt\": %s,\n  \"streams\": [",
                static_cast<long long>(duration), parsed.indexRebuilt() ? "true" : "false");
    for (std::size_t i = 0; i < streams.size(); ++i) {
        std::printf("%s\n    %s", i > 0 ? "," : "", streams[i].json.c_str());
    }
    std::printf("\n  ],\n  \"drivingData\": {");
    bool first = true;
    for (const auto& [kind, count] : track.KindCounts()) {
        std::printf("%s%s: %d", first ? "" : ", ", JsonString(kind).c_str(), count);
        first = false;
    }
    const TrackFigures figures = Summarise(track);
    std::printf("},\n  \"positions\": %d,\n  \"topSpeedKmh\": %d\n}\n", figures.positions,
                figures.topSpeed);
}

} // namespace

int RunInfo(const std::vector<std::string>& words) {
    Prepared prepared = Prepare("info", words, Arguments({}, {"--json"}), 1, 1);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const std::string file = arguments.Positional()[0];
    util::ParsedAviFile parsed;
    if (!std::filesystem::is_regular_file(file) || parsed.open(file) != util::kAviOk) {
        return Fail("info", "cannot read " + file + " as a recording", kExitFailure);
    }
    const auto options = OptionFolder(arguments.Value("--data"));
    const std::optional<RecordingName> name =
        options ? ParseRecordingName(file, *options) : std::nullopt;
    std::vector<StreamFigures> streams;
    for (const util::ParsedAviStream& stream : parsed.streams()) {
        streams.push_back(Figures(stream));
    }
    DrivingTrack track;
    track.Read(file, name ? name->fields.timeMs : 0);
    if (arguments.Has("--json")) {
        PrintJson(file, name, parsed, streams, track);
    } else {
        PrintText(file, name, parsed, streams, track);
    }
    return kExitOk;
}

} // namespace tachy::cli
