#include "platform/process/Process.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

using namespace std::chrono_literals;
using tachy::Process;

TEST(Process, ReportsTheExitCode) {
    Process child;
    ASSERT_TRUE(child.start(TACHY_TEST_HELPER, {"exit", "7"}));
    EXPECT_GT(child.pid(), 0);
    ASSERT_EQ(child.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(child.exitCode(), 7);
    EXPECT_FALSE(child.isRunning());
    // Waiting again answers at once with the same result.
    EXPECT_EQ(child.wait(0ms), Process::WaitResult::Exited);
}

TEST(Process, WaitTimesOutWhileTheChildRuns) {
    Process child;
    ASSERT_TRUE(child.start(TACHY_TEST_HELPER, {"sleep", "5000"}));
    EXPECT_EQ(child.wait(10ms), Process::WaitResult::TimedOut);
    EXPECT_TRUE(child.isRunning());
    EXPECT_EQ(child.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(child.exitCode(), 0);
}

TEST(Process, RunsInItsOwnProcessGroupAndWorkingFolder) {
    const tachy::test::TempFolder folder;
    ::setenv("EXPECT_PWD", folder.path().c_str(), 1);
    Process child;
    ASSERT_TRUE(child.start(TACHY_TEST_HELPER, {"sleep", "300"}));
    EXPECT_EQ(::getpgid(child.pid()), child.pid());
    Process inFolder;
    ASSERT_TRUE(inFolder.start(TACHY_TEST_HELPER, {"pwd"}, folder.path()));
    ASSERT_EQ(inFolder.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(inFolder.exitCode(), 0);
    EXPECT_EQ(child.wait(10s), Process::WaitResult::Exited);
}

TEST(Process, FailsCleanlyForAMissingProgramOrNoChild) {
    Process missing;
    EXPECT_FALSE(missing.start("/nonexistent/ffrecovery", {"x.avi"}));
    EXPECT_EQ(missing.wait(10ms), Process::WaitResult::Failed);
    Process byName;
    EXPECT_TRUE(byName.start("true", {}));  // looked up in PATH
    EXPECT_EQ(byName.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(byName.exitCode(), 0);
}

TEST(Process, ReportsTheSignalThatEndedTheChild) {
    Process child;
    ASSERT_TRUE(child.start(TACHY_TEST_HELPER, {"sleep", "10000"}));
    ::kill(child.pid(), SIGTERM);
    ASSERT_EQ(child.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(child.exitCode(), 128 + SIGTERM);
}

TEST(Process, WritesStandardOutputAndErrorToTheOutputFile) {
    const tachy::test::TempFolder folder;
    const std::filesystem::path output = folder.write("out.txt", "old text that must go\n");
    Process child;
    ASSERT_TRUE(child.start("sh", {"-c", "echo to-out; echo to-err >&2"}, {}, output));
    ASSERT_EQ(child.wait(10s), Process::WaitResult::Exited);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(tachy::test::readAll(output), "to-out\nto-err\n");
}
