#pragma once
// Folder listings as the suite's Windows callers saw them on a FAT card: entries matched
// against a wildcard pattern ('*' any run, '?' one character; "*.*" everything) without regard
// to case, and returned sorted by name without regard to case.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tachy {

class DirectoryListing {
public:
    struct Entry {
        std::string name;
        bool isDirectory = false;
        std::uintmax_t size = 0;  // 0 for folders
    };

    // The entries of `folder` (never "." or "..") whose names match `pattern`. An unreadable
    // or missing folder gives an empty list.
    static std::vector<Entry> list(const std::filesystem::path& folder, std::string_view pattern);

    static bool matches(std::string_view name, std::string_view pattern);
};

} // namespace tachy
