// tachy list CARD [--json]: the card walk's recordings per record mode.

#include "cli/CardCatalogue.h"
#include "cli/CodecName.h"
#include "cli/Command.h"
#include "cli/CommandRunner.h"
#include "cli/ExitCodes.h"
#include "cli/Progress.h"
#include "cli/TextEscape.h"
#include "cli/TimeText.h"
#include "util/avi/ParsedAviFile.h"

#include <cstdio>
#include <set>

namespace tachy::cli {
namespace {

struct Recording {
    int mode = 0;
    std::int64_t startMs = 0;
    std::int64_t lengthMs = 0;
    int channels = 0;
    std::string codec;
    std::uintmax_t size = 0;
    std::vector<std::string> files;
};

// The codec of the file's first video stream, from its headers alone.
std::string CodecOf(const std::string& file) {
    for (const auto& header : util::ParsedAviFile::quickStreamHeaders(file)) {
        if (header.fccType == tachy::avi::kVids) {
            return CodecName(header.fccHandler);
        }
    }
    return "?";
}

Recording Describe(const CTimeList& entry) {
    Recording recording;
    recording.mode = entry.m_nRecordMode[0];
    recording.startMs = entry.m_llStartTime[0];
    recording.lengthMs = entry.m_llEndTime[0] - entry.m_llStartTime[0];
    recording.channels = entry.m_nChannelCount;
    std::set<std::string> seen;
    for (int c = 0; c < CTimeList::kChannels; ++c) {
        for (const std::string& file : entry.m_fileList[static_cast<std::size_t>(c)]) {
            if (!seen.insert(file).second) {
                continue;
            }
            recording.files.push_back(file);
            std::error_code error;
            const auto size = std::filesystem::file_size(file, error);
            recording.size += error ? 0 : size;
        }
    }
    recording.codec = recording.files.empty() ? "?" : CodecOf(recording.files.front());
    return recording;
}

void PrintTable(const std::vector<Recording>& recordings) {
    for (int mode = 0; mode < 4; ++mode) {
        bool headed = false;
        for (const Recording& r : recordings) {
            if (r.mode != mode) {
                continue;
            }
            if (!headed) {
                std::printf("%s\n", CardCatalogue::ModeName(mode));
                headed = true;
            }
            std::printf(
                "  %s  %8.1f s  %d ch  %-4s  %12ju bytes  %s\n", DateTimeText(r.startMs).c_str(),
                static_cast<double>(r.lengthMs) / 1000, r.channels, r.codec.c_str(), r.size,
                r.files.empty() ? "" : std::filesystem::path(r.files.front()).filename().c_str());
        }
    }
}

void PrintJson(const std::string& card, const CardCatalogue& catalogue,
               const std::vector<Recording>& recordings) {
    std::printf("{\n  \"card\": %s,\n  \"rule\": %s,\n  \"kind\": %s,\n  \"recordings\": [",
                JsonString(card).c_str(), JsonString(catalogue.RuleName()).c_str(),
                JsonString(catalogue.Kind()).c_str());
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        const Recording& r = recordings[i];
        std::printf("%s\n    {\"mode\": %s, \"start\": %s, \"startMs\": %lld, \"lengthMs\": %lld, "
                    "\"channels\": %d, \"codec\": %s, \"size\": %ju, \"files\": [",
                    i > 0 ? "," : "", JsonString(CardCatalogue::ModeName(r.mode)).c_str(),
                    JsonString(IsoTimeText(r.startMs)).c_str(), static_cast<long long>(r.startMs),
                    static_cast<long long>(r.lengthMs), r.channels, JsonString(r.codec).c_str(),
                    r.size);
        for (std::size_t f = 0; f < r.files.size(); ++f) {
            std::printf("%s%s", f > 0 ? ", " : "", JsonString(r.files[f]).c_str());
        }
        std::printf("]}");
    }
    std::printf("\n  ]\n}\n");
}

} // namespace

int RunList(const std::vector<std::string>& words) {
    Prepared prepared = Prepare("list", words, Arguments({}, {"--json"}), 1, 1);
    if (!prepared.arguments) {
        return prepared.exitCode;
    }
    const Arguments& arguments = *prepared.arguments;
    const auto options = OptionFolderFor("list", arguments);
    if (!options) {
        return kExitFailure;
    }
    const std::string card = arguments.Positional()[0];
    CardCatalogue catalogue;
    {
        Progress progress("reading the card", arguments.Has("--progress"));
        if (!std::filesystem::is_directory(card) || !catalogue.Scan(card, *options, progress)) {
            return Fail("list", "no recordings found in " + card, kExitFailure);
        }
    }
    // Files the walk could not read are named, so that a damaged card is not taken for a short one.
    for (const std::string& file : catalogue.Unreadable()) {
        std::fprintf(stderr, "tachy list: cannot read %s\n", file.c_str());
    }
    std::vector<Recording> recordings;
    for (const CTimeList& entry : catalogue.Entries()) {
        recordings.push_back(Describe(entry));
    }
    if (arguments.Has("--json")) {
        PrintJson(card, catalogue, recordings);
    } else {
        PrintTable(recordings);
    }
    return kExitOk;
}

} // namespace tachy::cli
