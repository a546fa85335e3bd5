// The tool's command line: overview and per-command help, exit codes (0 done, 1 failed,
// 2 wrong command line) and progress on stderr only when asked for or on a terminal.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::RunTachy;
using tachy::test::TempFolder;

namespace {

const std::vector<std::string> kCommands = {
    "list", "info", "track", "events", "repair", "settings", "timeset", "format-image", "clip"};

} // namespace

TEST(TachyCommandLine, OverviewListsEveryCommandAndExitsZero) {
    const auto run = RunTachy({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    for (const std::string& command : kCommands) {
        EXPECT_NE(run.out.find("\n  " + command + " "), std::string::npos) << command;
    }
}

TEST(TachyCommandLine, EveryCommandHasItsHelp) {
    for (const std::string& command : kCommands) {
        const auto run = RunTachy({command, "--help"});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_EQ(run.out.rfind("Usage: tachy " + command + " ", 0), 0U) << run.out;
        EXPECT_NE(
            run.out.find("Exit codes: 0 done, 1 failed, 2 wrong command line, 128 + N stopped"),
            std::string::npos);
    }
}

TEST(TachyCommandLine, WrongCommandLinesExitTwoWithAMessageOnStderr) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"bogus"},
        {"list"},
        {"list", "a", "b"},
        {"list", "/tmp", "--bogus"},
        {"track", "/tmp"},
        {"track", "/tmp", "--format", "shp"},
        {"track", "/tmp", "--format"},
        {"events", "/tmp", "--brake", "strong"},
        {"events", "/tmp", "--turn", "-1"},
        {"settings", "print", "/tmp/x"},
        {"settings", "set", "/tmp/x"},
        {"timeset", "/tmp", "2025-02-30 10:00:00"},
        {"timeset", "/tmp", "yesterday"},
        {"format-image", "/tmp/x.img", "--cluster", "3"},
        {"clip", "/tmp", "/tmp/x.avi"},
        {"clip", "/tmp", "--from", "2024-02-29 13:05:09", "--to", "2024-02-29 13:05:19"},
        {"format-image", "/tmp/x.img", "--label", "A LABEL TOO LONG"},
    };
    for (const auto& arguments : wrong) {
        const auto run = RunTachy(arguments);
        std::string line;
        for (const auto& word : arguments) {
            line += word + " ";
        }
        EXPECT_EQ(run.exitCode, 2) << line;
        EXPECT_EQ(run.out, "") << line;
        EXPECT_NE(run.err, "") << line;
    }
}

TEST(TachyCommandLine, WorkThatCannotBeDoneExitsOne) {
    const TempFolder empty;
    const auto notAFile = empty.path() / "missing.avi";
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"list", empty.path().string()},
          {"info", notAFile.string()},
          {"track", empty.path().string(), "--format", "gpx"},
          {"events", notAFile.string()},
          {"settings", "check", notAFile.string()},
          {"format-image", notAFile.string()},
          {"list", empty.path().string(), "--data", (empty.path() / "nowhere").string()}}) {
        const auto run = RunTachy(arguments);
        EXPECT_EQ(run.exitCode, 1) << arguments[0];
        EXPECT_EQ(run.err.rfind("tachy " + arguments[0] + ": ", 0), 0U) << run.err;
    }
}

TEST(TachyCommandLine, ProgressGoesToStderrOnlyWhenAskedFor) {
    const TempFolder folder;
    tachy::test::MakeDriveCard(folder.path() / "card", 72);
    const auto quiet = RunTachy({"list", (folder.path() / "card").string()});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
    const auto shown = RunTachy({"list", (folder.path() / "card").string(), "--progress"});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.err.find("reading the card: 3/3"), std::string::npos) << shown.err;
    EXPECT_EQ(shown.out, quiet.out);
}
