#pragma once
// The user's well-known folders, from the XDG base-directory and user-dirs settings.

#include <filesystem>

namespace tachy {

class SpecialFolder {
public:
    enum class Kind {
        ApplicationData,  // $XDG_CONFIG_HOME, default ~/.config
        Documents,        // XDG documents folder, else ~/Documents
        MyComputer,       // the place a folder picker starts from: the home folder
        Home,
    };

    static std::filesystem::path path(Kind kind);

    // Where the suite falls back to when a folder above cannot be had (the home folder).
    static std::filesystem::path fallbackRoot() { return path(Kind::Home); }
};

} // namespace tachy
