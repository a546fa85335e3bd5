#include "util/CUtilLog.h"

#include "tests/support/TempFolder.h"

#include <ctime>
#include <gtest/gtest.h>
#include <regex>

using tachy::test::readAll;
using tachy::test::TempFolder;

namespace {

std::string todaysLogName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::strftime(name, sizeof name, "vl%Y%m%d.log", &local);
    return name;
}

} // namespace

TEST(CUtilLog, TwoWritesOnOneDayAppendTwoPrefixedLines) {
    const TempFolder folder;
    CUtilLog::WriteLog(folder.path().string(), "recovered %s (%d frames)", "a.avi", 1800);
    CUtilLog::WriteLog(folder.path().string(), "second");
    std::string name = todaysLogName();
    std::string content = readAll(folder.path() / name);
    if (content.empty()) {
        // The day turned between the two calls and the name above.
        name = std::filesystem::directory_iterator(folder.path())->path().filename().string();
        content = readAll(folder.path() / name);
    }
    const std::regex line(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} : )");
    const std::regex whole(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} : recovered a\.avi \(1800 frames\)\r\n)"
                           R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} : second\r\n)");
    EXPECT_TRUE(std::regex_match(content, whole)) << content;
    EXPECT_EQ(name.substr(2, 8), content.substr(0, 10).erase(7, 1).erase(4, 1));
}

TEST(CUtilLog, LongMessagesAreCutToWholeCharacters) {
    const TempFolder folder;
    const std::string ascii(701, 'x');
    std::string wide;
    for (int i = 0; i < 200; ++i) {
        wide += "한";  // three bytes each
    }
    CUtilLog::WriteLog(folder.path().string(), "%s%s", ascii.c_str(), wide.c_str());
    const auto entry = *std::filesystem::directory_iterator(folder.path());
    const std::string content = readAll(entry.path());
    const std::string message = content.substr(22, content.size() - 24);
    EXPECT_LE(message.size(), CUtilLog::kMaxMessage);
    // 1,024 - 701 = 323 bytes are left: 107 whole characters and a part that is dropped.
    EXPECT_EQ(message.size(), 701U + 107 * 3);
    EXPECT_EQ(content.substr(content.size() - 2), "\r\n");
}

TEST(CUtilLog, MissingFolderIsSkippedWithoutCreatingIt) {
    const TempFolder folder;
    const auto missing = folder.path() / "missing";
    CUtilLog::WriteLog(missing.string(), "lost");
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(CUtilLog, EmptyFolderIsRefusedInsteadOfWritingAtTheRoot) {
    const std::filesystem::path atRoot = std::filesystem::path("/") / todaysLogName();
    if (std::filesystem::exists(atRoot)) {
        GTEST_SKIP() << atRoot << " is already there";
    }
    CUtilLog::WriteLog("", "recovered %s", "a.avi");
    const bool written = std::filesystem::exists(atRoot);
    std::error_code error;
    std::filesystem::remove(atRoot, error);
    EXPECT_FALSE(written);
}

TEST(CUtilLog, SystemReportLaysOutItsBlocks) {
    const TempFolder root;
    root.write("etc/os-release", "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    root.write("proc/sys/kernel/osrelease", "6.1.0\n");
    root.write("proc/sys/kernel/version", "#1 SMP\n");
    root.write("proc/meminfo", "MemTotal:       2097152 kB\n");
    root.write("sys/class/dmi/id/board_vendor", "Maker\n");
    root.write("sys/class/dmi/id/board_name", "Board\n");
    root.write("sys/class/dmi/id/board_version", "1.0\n");
    const TempFolder out;
    const std::string path = (out.path() / "system.log").string();
    ASSERT_EQ(CUtilLog::WriteLogSystem(path, root.path().string()), 1);
    const std::string open = std::string(80, '=') + "\r\n";
    const std::string rule = std::string(70, '-') + "\r\n";
    const std::string close = std::string(80, '-') + "\r\n";
    EXPECT_EQ(readAll(path),
              open + "Operating System\r\n" + rule +
                  "OS Name: Debian GNU/Linux 12 (bookworm)\r\nService Pack 0, version 6.1.0, "
                  "BuildNumber #1 SMP\r\n" +
                  close + open + "Motherboard\r\n" + rule +
                  "Manufacturer: Maker\r\nProduct: Board 1.0\r\nPart Number: \r\n" + close + open +
                  "Memory\r\n" + rule + "Total Memory: 2048 MB\r\n" + close);
}

TEST(CUtilLog, SystemReportOfThisMachineAndUnwritablePath) {
    const TempFolder out;
    const auto path = out.path() / "system.log";
    ASSERT_EQ(CUtilLog::WriteLogSystem(path.string()), 1);
    const std::string report = readAll(path);
    EXPECT_NE(report.find("Processor\r\n"), std::string::npos);
    EXPECT_NE(report.find("Total Memory: "), std::string::npos);
    EXPECT_EQ(CUtilLog::WriteLogSystem("/nonexistent/folder/system.log"), 0);
}
