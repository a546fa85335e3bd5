// Special folders, debug output and the mixer: the services that read the environment.

#include "platform/debug/DebugOut.h"
#include "platform/folders/ProgramFolder.h"
#include "platform/folders/SpecialFolder.h"
#include "platform/mixer/MasterVolume.h"

#include "tests/support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using tachy::DebugOut;
using tachy::SpecialFolder;

namespace {

// Sets an environment variable for one test and puts back the old value afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
            m_hadOld = true;
        }
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnvironment() { m_hadOld ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::string m_old;
    bool m_hadOld = false;
};

} // namespace

TEST(SpecialFolder, FollowsXdgVariablesWithHomeFallbacks) {
    const std::filesystem::path home = std::getenv("HOME");
    EXPECT_EQ(SpecialFolder::path(SpecialFolder::Kind::ApplicationData),
              std::filesystem::path(std::getenv("XDG_CONFIG_HOME")));
    EXPECT_EQ(SpecialFolder::path(SpecialFolder::Kind::Documents), home / "Documents");
    EXPECT_EQ(SpecialFolder::path(SpecialFolder::Kind::MyComputer), home);
    EXPECT_EQ(SpecialFolder::fallbackRoot(), home);
    const ScopedEnvironment relative("XDG_CONFIG_HOME", "not/absolute");
    EXPECT_EQ(SpecialFolder::path(SpecialFolder::Kind::ApplicationData), home / ".config");
}

TEST(SpecialFolder, DocumentsComeFromUserDirs) {
    const std::filesystem::path config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::create_directories(config);
    std::ofstream(config / "user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
           "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
    EXPECT_EQ(SpecialFolder::path(SpecialFolder::Kind::Documents),
              std::filesystem::path(std::getenv("HOME")) / "Dokumente");
    std::ofstream(config / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n";
    EXPECT_EQ(SpecialFolder::path(SpecialFolder::Kind::Documents), "/srv/docs");
    std::filesystem::remove(config / "user-dirs.dirs");
}

TEST(ProgramFolder, IsTheOneHoldingTheOptionFolderBesideTheProgramOrInstalled) {
    const tachy::test::TempFolder folder;
    // Nothing anywhere: the executable's folder, so that a message can name it.
    EXPECT_EQ(tachy::programFolderFor(folder.path() / "bin"), folder.path() / "bin");
    folder.write("bin/_option/option.ini", "");
    EXPECT_EQ(tachy::programFolderFor(folder.path() / "bin"), folder.path() / "bin");
    // Installed: bin/ beside share/tachy/_option.
    folder.write("usr/share/tachy/_option/option.ini", "");
    std::filesystem::create_directories(folder.path() / "usr" / "bin");
    EXPECT_EQ(tachy::programFolderFor(folder.path() / "usr" / "bin"),
              folder.path() / "usr" / "share" / "tachy");
    // A share/tachy without the option folder is not taken.
    std::filesystem::create_directories(folder.path() / "opt" / "bin");
    std::filesystem::create_directories(folder.path() / "opt" / "share" / "tachy");
    EXPECT_EQ(tachy::programFolderFor(folder.path() / "opt" / "bin"), folder.path() / "opt" / "bin");
}

TEST(DebugOut, SinkReceivesLinesFromEveryThreadWhole) {
    std::vector<std::string> lines;
    const auto previous = DebugOut::setSink([&](std::string_view line) { lines.emplace_back(line); });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 50; ++i) {
                DebugOut::printf("thread %d line %d\n", t, i);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    DebugOut::write("last\n");
    DebugOut::setSink(previous);
    DebugOut::write("not captured\n");
    ASSERT_EQ(lines.size(), 201U);
    EXPECT_EQ(lines.back(), "last\n");
    for (const auto& line : lines) {
        EXPECT_EQ(line.back(), '\n');
    }
}

TEST(MasterVolume, MissingMixerFailsCleanly) {
    std::vector<std::string> lines;
    const auto previous = DebugOut::setSink([&](std::string_view line) { lines.emplace_back(line); });
    tachy::MasterVolume volume("Master", "hw:99");
    EXPECT_FALSE(volume.open());
    EXPECT_FALSE(volume.isOpen());
    long minimum = 0;
    long maximum = 0;
    long value = 0;
    bool muted = false;
    EXPECT_FALSE(volume.range(minimum, maximum));
    EXPECT_FALSE(volume.volume(value));
    EXPECT_FALSE(volume.setVolume(10));
    EXPECT_FALSE(volume.muted(muted));
    EXPECT_FALSE(volume.setMuted(true));
    DebugOut::setSink(previous);
}
