#pragma once
// The files that make up a recording of the list: every camera channel's current file of its
// entry, in channel order, each named once (an ".av2" file holds all channels and is one file).

#include "engine/CTimeList.h"

#include <filesystem>
#include <vector>

namespace tachy::viewer {

class RecordingFiles {
public:
    // The files of one entry; channels without a file are left out.
    static std::vector<std::filesystem::path> OfEntry(const CTimeList& entry);
    // The files of several entries in their order, a file shared by two entries named once.
    static std::vector<std::filesystem::path> OfEntries(const std::vector<CTimeList>& entries);
};

} // namespace tachy::viewer
