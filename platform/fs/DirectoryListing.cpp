#include "platform/fs/DirectoryListing.h"

#include "platform/text/CaseFold.h"
#include "platform/text/TextCodec.h"

#include <algorithm>

namespace tachy {
namespace {

std::u32string codePoints(std::string_view utf8) {
    const std::string folded = text::foldCase(utf8);
    std::u32string out;
    out.reserve(folded.size());
    std::size_t position = 0;
    while (position < folded.size()) {
        out.push_back(text::nextCodePoint(folded, position));
    }
    return out;
}

// Classic greedy wildcard match with one backtrack point: linear in practice, never exponential.
bool wildcardMatch(const std::u32string& name, const std::u32string& pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::u32string::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::u32string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

bool DirectoryListing::matches(std::string_view name, std::string_view pattern) {
    // Windows reads "*.*" as "every name", dot or not.
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    return wildcardMatch(codePoints(name), codePoints(pattern));
}

std::vector<DirectoryListing::Entry> DirectoryListing::list(const std::filesystem::path& folder,
                                                            std::string_view pattern) {
    std::vector<Entry> entries;
    std::error_code error;
    // Iterate with error codes: a folder that vanishes or turns unreadable mid-walk ends the
    // listing instead of throwing.
    for (std::filesystem::directory_iterator iterator(folder, error), end; !error && iterator != end;
         iterator.increment(error)) {
        const std::filesystem::directory_entry& item = *iterator;
        const std::string name = item.path().filename().string();
        if (!matches(name, pattern)) {
            continue;
        }
        Entry entry;
        entry.name = name;
        entry.isDirectory = item.is_directory(error);
        if (!entry.isDirectory) {
            const std::uintmax_t size = item.file_size(error);
            entry.size = error ? 0 : size;
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return text::compareIgnoreCase(a.name, b.name) < 0;
    });
    return entries;
}

} // namespace tachy
