// Test entry point: every test process gets its own home, configuration and runtime folders,
// so tests never touch the user's files and never see each other's.

#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

// Sanitizer settings for every test program. Qt's libraries are not built with
// ThreadSanitizer, so their own atomics look like races (QFileDialog's file-info thread, for
// one); only reports whose stack passes through Qt are silenced, our code stays checked.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\nrace:libQt6Gui.so\nrace:libQt6Widgets.so\nrace:libglib-2.0.so\n"
           "called_from_lib:libQt6Core.so\ncalled_from_lib:libpng16.so\n";
}
// libx265 3.5 keeps some frame-filter buffers after its encoder is closed; tests that make
// HEVC clips in their own process should not fail on a leak that is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libx265.so\n";
}
extern "C" const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}

int main(int argc, char** argv) {
    const tachy::test::TempFolder root;
    const auto make = [&](const char* name) {
        const std::filesystem::path folder = root.path() / name;
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        return folder.string();
    };
    ::setenv("HOME", make("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", make("home/.config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", make("etc-xdg").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", make("runtime").c_str(), 1);
    ::unsetenv("TACHY_DEBUG");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
