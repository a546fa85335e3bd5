#include "engine/FolderNames.h"

#include "platform/text/CaseFold.h"

#include <algorithm>

FolderNames::FolderNames(const std::vector<tachy::DirectoryListing::Entry>& entries) : m_entries(entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].isDirectory) {
            m_names.push_back({tachy::text::foldCase(entries[i].name), i});
        }
    }
    std::sort(m_names.begin(), m_names.end(), [](const Name& a, const Name& b) { return a.folded < b.folded; });
}

const tachy::DirectoryListing::Entry* FolderNames::FindFirst(std::string_view pattern) const {
    const std::string folded = tachy::text::foldCase(pattern);
    const std::string literal = folded.substr(0, folded.find_first_of("*?"));
    const auto begin = std::lower_bound(m_names.begin(), m_names.end(), literal,
                                        [](const Name& name, const std::string& value) { return name.folded < value; });
    const Name* best = nullptr;
    for (auto it = begin; it != m_names.end() && it->folded.compare(0, literal.size(), literal) == 0; ++it) {
        if ((best == nullptr || it->order < best->order) &&
            tachy::DirectoryListing::matches(m_entries[it->order].name, pattern)) {
            best = &*it;
        }
    }
    return best == nullptr ? nullptr : &m_entries[best->order];
}
