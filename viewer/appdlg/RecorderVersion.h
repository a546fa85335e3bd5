#pragma once
// The recorder's firmware version as the About boxes show it, read from the settings file of
// the loaded card: a text file with a "ver=" line for model 401, else the first 32 bytes of the
// binary settings file in the ANSI code page. Empty when nothing is loaded or no file is found.

#include <filesystem>
#include <string>

namespace viewer::appdlg {

struct RecorderVersionSource {
    std::filesystem::path loadedPath; // empty: nothing loaded
    int productId = 0;
    std::string setupDir;
    std::string setupFileName;
    int codePage = 1252; // the ANSI code page of the user's language
};

// UTF-8 text of the version.
std::string ReadRecorderVersion(const RecorderVersionSource& source);

} // namespace viewer::appdlg
