#pragma once
// The recordings of a card as the viewer lists them: the engine's card walk (CStreamCatalogue
// over the archive reader) with each naming rule in turn until one finds stream files, its
// entries sorted by start time. The walk repairs nothing and rebuilds no time index.

#include "engine/CTimeList.h"
#include "util/naming/AviNameFormat.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tachy::cli {

class Progress;

class CardCatalogue {
public:
    // Walks the card with the rules of `optionFolder`. False when no rule finds recordings.
    bool Scan(const std::filesystem::path& card, const std::filesystem::path& optionFolder,
              Progress& progress);

    const std::vector<CTimeList>& Entries() const { return m_entries; }
    const _AVI_NAME_FORMAT2& Format() const { return m_format; }
    const std::string& RuleName() const { return m_ruleName; }
    // ".avi" or ".av2"
    const std::string& Kind() const { return m_kind; }
    // Files the walk could not read.
    const std::vector<std::string>& Unreadable() const { return m_unreadable; }
    // The UTC start (ms) a recording file's name gives under the card's rule; nothing when the
    // name does not follow it.
    std::optional<std::int64_t> StartOfFile(const std::filesystem::path& file) const;

    static const char* ModeName(int mode);

private:
    static void Callback(unsigned code, std::intptr_t param, void* data, void* user);

    std::vector<CTimeList> m_entries;
    std::vector<std::string> m_unreadable;
    _AVI_NAME_FORMAT2 m_format{};
    std::string m_ruleName;
    std::string m_kind;
    Progress* m_progress = nullptr;
    int m_total = 0;
};

} // namespace tachy::cli
