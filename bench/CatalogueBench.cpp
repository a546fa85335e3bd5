// The card walk (procOpenList) over a card of 2,000 recording periods with three channels and
// over a card of 500 ".av2" files, in files per second, against a plain recursive listing with
// stat of the same card.

#include "bench/BenchTimer.h"
#include "engine/CArchiveAvi.h"
#include "engine/CStreamCatalogue.h"
#include "tools/mkcard/CardGenerator.h"

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::filesystem::path kRules = std::filesystem::path(TACHY_DATA_DIR) / "_option";

// One tiny recording, written by the generator, to copy under every name of the card.
std::filesystem::path makeTemplate(const std::filesystem::path& folder, const char* rule, bool av2) {
    mkcard::CardOptions options;
    options.rule = kRules / rule;
    options.out = folder;
    options.width = 32;
    options.height = 32;
    options.seconds = 0.2;
    options.av2 = av2;
    options.channels = av2 ? 2 : 1;
    options.audio = mkcard::CardOptions::Audio::None;
    std::string error;
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return {};
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == (av2 ? ".av2" : ".avi")) {
            return entry.path();
        }
    }
    return {};
}

int fillCard(const std::filesystem::path& card, const std::filesystem::path& clip, const char* rule,
             int periods, int channels, bool av2) {
    const auto format = naming::ReadNameFormat(kRules / rule, 2);
    static const char* const kFolders[] = {"normal", "event"};
    int files = 0;
    for (int period = 0; period < periods; ++period) {
        const std::filesystem::path folder = card / kFolders[period % 10 == 9 ? 1 : 0];
        std::filesystem::create_directories(folder);
        for (int channel = 0; channel < channels; ++channel) {
            naming::StreamFileName fields;
            fields.channel = channel;
            fields.fileNumber = period + 1;
            fields.timeMs = (1709211909LL + period * 60LL) * 1000;
            fields.recordMode = period % 10 == 9 ? 1 : 0;
            fields.channelCount = av2 ? 2 : 1;
            std::filesystem::copy_file(clip, folder / naming::ComposeName(format, fields, av2 ? ".av2" : ".avi"));
            ++files;
        }
    }
    return files;
}

void ignore(unsigned, std::intptr_t, void* data, void*) {
    (void)data;
}

double walkMilliseconds(const std::filesystem::path& card, const char* rule, int& entries) {
    CArchiveAvi reader;
    CStreamCatalogue catalogue(reader);
    const auto format = naming::ReadNameFormat(kRules / rule, 2);
    reader.SetNameFormat(format);
    catalogue.SetNameFormat(format);
    catalogue.SetDbPath(card.string());
    catalogue.SetCallback(&ignore, nullptr);
    catalogue.CheckRecordMode();
    entries = catalogue.TotalStreamFileCount() / 2;
    return tachy::bench::medianMilliseconds(5, [&] { catalogue.procOpenList(); });
}

double statMilliseconds(const std::filesystem::path& card) {
    return tachy::bench::medianMilliseconds(5, [&] {
        std::uintmax_t total = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(card)) {
            struct stat status {};
            ::stat(entry.path().c_str(), &status);
            total += static_cast<std::uintmax_t>(status.st_size);
        }
        if (total == 0) {
            std::fprintf(stderr, "bench: empty card\n");
        }
    });
}

void measure(const char* name, const std::filesystem::path& card, const char* rule, int files) {
    int entries = 0;
    const double walk = walkMilliseconds(card, rule, entries);
    const double listing = statMilliseconds(card);
    // Files per second; the ratio is ours over the listing's (below 1: the walk is slower).
    tachy::bench::report(name, files / walk * 1000, files / listing * 1000, "recursive stat listing",
                         "files/s");
    if (entries == 0) {
        std::fprintf(stderr, "bench: the walk found nothing\n");
    }
}

} // namespace

int main() {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("tachy-bench-catalogue-" + std::to_string(::getpid()));
    const auto aviClip = makeTemplate(root / "template-avi", "FileNameRule_A.ini", false);
    const auto av2Clip = makeTemplate(root / "template-av2", "FileNameRule_C.ini", true);
    if (aviClip.empty() || av2Clip.empty()) {
        return 1;
    }
    const int aviFiles = fillCard(root / "avi-card", aviClip, "FileNameRule_A.ini", 2000, 3, false);
    measure("catalogue_walk_2000_periods_3_channels", root / "avi-card", "FileNameRule_A.ini", aviFiles);
    const int av2Files = fillCard(root / "av2-card", av2Clip, "FileNameRule_C.ini", 500, 1, true);
    measure("catalogue_walk_500_av2_files", root / "av2-card", "FileNameRule_C.ini", av2Files);
    std::filesystem::remove_all(root);
    return 0;
}
