// tachy export and clip stopped by Ctrl-C (SIGINT) or SIGTERM while they work: the real binary
// is started, the signal sent once its progress shows, and the test checks that it ends with
// 128 + the signal's number and its message, that no temporary file is left and that an
// earlier file of the target's name is untouched.
//
// The signal cannot come too late: the tool's stderr is a pipe of one page that the test stops
// reading once progress shows, and the progress still to come is larger than the page, so the
// tool waits in a progress write until the signal has been sent.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using tachy::test::TempFolder;

namespace {

struct Stopped {
    int exitCode = -1; // -1: ended by the signal itself, not by the tool
    std::string err;
};

// Runs tachy with `arguments`, reads its stderr until `shown` appears, sends `signal` and
// collects the rest of stderr and the exit code.
Stopped RunAndSignal(const std::vector<std::string>& arguments, const std::string& shown,
                     int signal) {
    Stopped stopped;
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "no pipe";
        return stopped;
    }
    ::fcntl(pipeEnds[1], F_SETPIPE_SZ, 4096);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    std::vector<std::string> words = {TACHY_TOOL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    // The signals' default actions, also when the test runs where they are ignored.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, TACHY_TOOL, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        ADD_FAILURE() << "cannot start " << TACHY_TOOL;
        return stopped;
    }
    char buffer[256];
    ssize_t got = 0;
    bool signalled = false;
    while ((got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        stopped.err.append(buffer, static_cast<std::size_t>(got));
        if (!signalled && stopped.err.find(shown) != std::string::npos) {
            ::kill(child, signal);
            signalled = true;
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(signalled) << stopped.err;
    stopped.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return stopped;
}

class TachyInterrupt : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        // Export: 90 seconds of two cameras, about 200 progress lines.
        tachy::test::MakeDriveCard(s_folder->path() / "card", 72);
        // Clip: 240 one-second recordings, one progress line each.
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = s_folder->path() / "many";
        options.width = 32;
        options.height = 32;
        options.framesPerSecond = 2;
        options.keyInterval = 2;
        options.seconds = 240;
        options.periodSeconds = 1;
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }

    // Stops `command` with `signal` once `shown` is on stderr; the target held an earlier file.
    void ExpectStopped(const std::string& command, const std::string& card, const std::string& to,
                       const std::string& shown, int signal) {
        const auto out = m_work.path() / ("out." + std::string(command == "clip" ? "avi" : "mp4"));
        { std::ofstream(out) << "an earlier file"; }
        const Stopped stopped =
            RunAndSignal({command, (s_folder->path() / card).string(), "--from",
                          "2024-02-29 13:05:09", "--to", to, out.string(), "--progress"},
                         shown, signal);
        EXPECT_EQ(stopped.exitCode, 128 + signal) << stopped.err;
        EXPECT_NE(stopped.err.find("tachy " + command + ": interrupted; " + out.string() +
                                   " was not written\n"),
                  std::string::npos)
            << stopped.err;
        EXPECT_EQ(
            tachy::test::Snapshot(m_work.path()),
            (std::map<std::string, std::string>{{out.filename().string(), "an earlier file"}}));
    }

    static TempFolder* s_folder;
    TempFolder m_work;
};

TempFolder* TachyInterrupt::s_folder = nullptr;

} // namespace

TEST_F(TachyInterrupt, ExportStopsAtCtrlCAndSigtermAndLeavesNoFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        ExpectStopped("export", "card", "2024-02-29 13:06:39", "exporting: ", signal);
    }
}

TEST_F(TachyInterrupt, ClipStopsAtCtrlCAndSigtermAndLeavesNoFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        ExpectStopped("clip", "many", "2024-02-29 13:09:09", "copying recordings: ", signal);
    }
}
