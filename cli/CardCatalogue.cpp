#include "cli/CardCatalogue.h"

#include "cli/Progress.h"
#include "engine/CArchiveAvi.h"
#include "engine/CStreamCatalogue.h"
#include "engine/ReplayCallback.h"
#include "platform/fs/DirectoryListing.h"

#include <algorithm>

namespace tachy::cli {

void CardCatalogue::Callback(unsigned code, std::intptr_t, void* data, void* user) {
    auto* self = static_cast<CardCatalogue*>(user);
    switch (code) {
    case replay::kTimeListEntry:
        self->m_entries.push_back(*static_cast<CTimeList*>(data));
        self->m_progress->Step(self->m_total);
        break;
    case replay::kTimeIndexMismatch:
        *static_cast<int*>(data) = 0; // listing never rebuilds anything on the card
        break;
    case replay::kUnreadableFile:
        self->m_unreadable.emplace_back(static_cast<const char*>(data));
        break;
    case replay::kCurrentEntry:
    case replay::kFirstSelected:
    case replay::kNextSelected:
        *static_cast<int*>(data) = -1;
        break;
    default:
        break;
    }
}

bool CardCatalogue::Scan(const std::filesystem::path& card,
                         const std::filesystem::path& optionFolder, Progress& progress) {
    m_progress = &progress;
    for (const auto& rule : tachy::DirectoryListing::list(optionFolder, "FileNameRule_*.ini")) {
        const _AVI_NAME_FORMAT2 format = naming::ReadNameFormat(optionFolder / rule.name, 2);
        CArchiveAvi reader;
        reader.SetNameFormat(format);
        CStreamCatalogue catalogue(reader);
        catalogue.SetNameFormat(format);
        catalogue.SetDbPath(card.string());
        catalogue.SetCallback(&CardCatalogue::Callback, this);
        if (catalogue.CheckRecordMode() != 1) {
            continue;
        }
        m_total = catalogue.TotalStreamFileCount() / 2;
        if (m_total == 0) {
            continue;
        }
        m_entries.clear();
        m_unreadable.clear();
        catalogue.procOpenList();
        m_format = format;
        m_ruleName = rule.name;
        m_kind = catalogue.GetRecordMode() == CStreamCatalogue::kKindAv2 ? ".av2" : ".avi";
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const CTimeList& a, const CTimeList& b) {
                             return a.m_llStartTime[0] < b.m_llStartTime[0];
                         });
        return true;
    }
    return false;
}

const char* CardCatalogue::ModeName(int mode) {
    static const char* const kNames[] = {"normal", "event", "parking", "manual"};
    return mode >= 0 && mode < 4 ? kNames[mode] : "unknown";
}

std::optional<std::int64_t> CardCatalogue::StartOfFile(const std::filesystem::path& file) const {
    naming::StreamFileName name;
    if (!naming::ParseName(m_format, file.filename().string(), name)) {
        return std::nullopt;
    }
    return name.timeMs;
}

} // namespace tachy::cli
