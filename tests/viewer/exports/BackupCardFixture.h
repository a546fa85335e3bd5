#pragma once
// A small card of our own in a temporary folder and the entries the engine's card walk makes of
// it: what the backup and delete suites work on.

#include "engine/CArchiveAvi.h"
#include "engine/CStreamCatalogue.h"
#include "engine/ReplayCallback.h"

#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/naming/AviNameFormat.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tachy::test {

struct BackupCardOptions {
    int channels = 3;
    bool av2 = false;
    double seconds = 3;
    double periodSeconds = 1.5;
};

// Keeps the entries the walk reports.
inline void collectEntries(unsigned code, std::intptr_t, void* data, void* user) {
    if (code == replay::kTimeListEntry) {
        static_cast<std::vector<CTimeList>*>(user)->push_back(*static_cast<CTimeList*>(data));
    }
}

// Writes a card under `card` and walks it; the entries in walk order.
inline void makeCardEntries(const std::filesystem::path& card, const BackupCardOptions& options,
                            std::vector<CTimeList>& entries) {
    const std::string rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    mkcard::CardOptions card_options;
    card_options.rule = rule;
    card_options.out = card;
    card_options.channels = options.channels;
    card_options.av2 = options.av2;
    card_options.seconds = options.seconds;
    card_options.periodSeconds = options.periodSeconds;
    card_options.width = 32;
    card_options.height = 32;
    card_options.audio = mkcard::CardOptions::Audio::None;
    card_options.modes = {"normal", "event"};
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(card_options, error)) << error;

    CArchiveAvi reader;
    CStreamCatalogue catalogue(reader);
    const auto format = naming::ReadNameFormat(rule, 2);
    reader.SetNameFormat(format);
    catalogue.SetNameFormat(format);
    catalogue.SetDbPath(card.string());
    catalogue.SetCallback(&collectEntries, &entries);
    ASSERT_EQ(catalogue.CheckRecordMode(), 1);
    ASSERT_EQ(catalogue.procOpenList(), 1);
    ASSERT_FALSE(entries.empty());
}

} // namespace tachy::test
