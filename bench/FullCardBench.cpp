// A card of a full 256 GB card's count: 3,000 one-minute periods of three cameras (tiny
// pictures: the listing's cost is in the count, not in the bytes). The walk the programs make
// on opening it (the naming-rule search and the list through the engine, as tachy-play and the
// viewer's loading make it) and the unreadable-files report, warm, against a recursive listing
// that also reads the first 4 KiB of every stream file, measured in the same run.
//   bench_full_card [CARD]   (without CARD, the card is made first, which takes a while)

#include "bench/BenchTimer.h"
#include "engine/IIntrReplayEx.h"
#include "engine/UnreadableFileReport.h"
#include "platform/fs/DirectoryListing.h"
#include "tools/mkcard/CardGenerator.h"
#include "tools/tachy-play/HeadlessViewer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

const std::filesystem::path kRules = std::filesystem::path(TACHY_DATA_DIR) / "_option";
constexpr int kPeriods = 3000;

bool makeCard(const std::filesystem::path& card) {
    mkcard::CardOptions options;
    options.rule = kRules / "FileNameRule_A.ini";
    options.out = card;
    options.channels = 3;
    options.seconds = kPeriods * 60.0;
    options.width = 16;
    options.height = 16;
    options.framesPerSecond = 1;
    options.keyInterval = 60;
    options.audio = mkcard::CardOptions::Audio::None;
    options.modes = {"normal", "normal", "normal", "event"};
    std::string error;
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return false;
    }
    return true;
}

std::vector<_AVI_NAME_FORMAT2> namingRules() {
    std::vector<_AVI_NAME_FORMAT2> rules;
    for (const auto& rule : tachy::DirectoryListing::list(kRules, "FileNameRule_*.ini")) {
        rules.push_back(naming::ReadNameFormat(kRules / rule.name, 2));
    }
    return rules;
}

// The programs' walk: each naming rule in turn until one finds stream files, then the list.
std::size_t walk(const std::filesystem::path& card, const std::vector<_AVI_NAME_FORMAT2>& rules) {
    tachy::play::HeadlessViewer viewer;
    auto engine = IIntrReplayEx::Create();
    engine->Initialize(nullptr, IVideoDecoder::kFormatYuv);
    engine->SetCallback(&tachy::play::HeadlessViewer::Callback, &viewer);
    engine->SetDbPath(card.string());
    for (const auto& rule : rules) {
        engine->SetAviFileNameFormat(rule);
        if (engine->CheckRecordMode() == 1 && engine->TotalStreamFileCount() > 0) {
            engine->procOpenList();
            break;
        }
    }
    const std::size_t entries = viewer.Entries().size();
    engine->Release();
    return entries;
}

// The least a walk that reads every file's headers does: list, stat, read 4 KiB.
std::size_t readHeads(const std::filesystem::path& card) {
    std::size_t files = 0;
    std::string head(4096, '\0');
    for (const auto& entry : std::filesystem::recursive_directory_iterator(card)) {
        if (entry.is_regular_file() && entry.path().extension() == ".avi") {
            std::ifstream(entry.path(), std::ios::binary)
                .read(head.data(), static_cast<std::streamsize>(head.size()));
            ++files;
        }
    }
    return files;
}

} // namespace

int main(int argc, char** argv) {
    std::filesystem::path card;
    std::filesystem::path made;
    if (argc > 1) {
        card = argv[1];
    } else {
        made = std::filesystem::temp_directory_path() /
               ("tachy-bench-full-card-" + std::to_string(::getpid()));
        card = made;
        if (!makeCard(card)) {
            return 1;
        }
    }
    const auto rules = namingRules();
    std::size_t files = readHeads(card); // also warms the cache
    std::size_t entries = walk(card, rules);
    const double reference = tachy::bench::medianMilliseconds(3, [&] { files = readHeads(card); });
    const double walked = tachy::bench::medianMilliseconds(3, [&] { entries = walk(card, rules); });
    std::printf("full_card: %zu stream files, %zu list entries\n", files, entries);
    tachy::bench::report("full_card_walk", walked, reference,
                         "recursive listing reading 4 KiB of each file");
    std::size_t unreadable = 0;
    const double report = tachy::bench::medianMilliseconds(
        3, [&] { unreadable = UnreadableFileReport(card, rules).Files().size(); });
    tachy::bench::report("full_card_unreadable_report", report, reference,
                         "recursive listing reading 4 KiB of each file");
    std::printf("full_card_unreadable_files: %zu\n", unreadable);
    if (!made.empty()) {
        std::filesystem::remove_all(made);
    }
    return entries > 0 ? 0 : 1;
}
