#pragma once
// The files of one folder, listed once per walk and looked up by wildcard pattern many times:
// names are kept folded and sorted, so a pattern's literal beginning narrows the search to a
// few names instead of the whole folder.

#include "platform/fs/DirectoryListing.h"

#include <string>
#include <string_view>
#include <vector>

class FolderNames {
public:
    explicit FolderNames(const std::vector<tachy::DirectoryListing::Entry>& entries);

    // The first file (in listing order) whose name matches the pattern, or null.
    const tachy::DirectoryListing::Entry* FindFirst(std::string_view pattern) const;

private:
    struct Name {
        std::string folded;
        std::size_t order;  // position in the listing
    };

    const std::vector<tachy::DirectoryListing::Entry>& m_entries;
    std::vector<Name> m_names;  // files only, by folded name
};
