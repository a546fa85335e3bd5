#include "platform/system/SystemReport.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::SystemReport;

namespace {

// A small machine: two packages of two logical processors, one display adapter, a board.
void prepareMachine(const tachy::test::TempFolder& root) {
    root.write("etc/os-release", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n");
    root.write("proc/sys/kernel/osrelease", "6.1.0-27-amd64\n");
    root.write("proc/sys/kernel/version", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.115-1\n");
    std::string cpuinfo;
    for (int cpu = 0; cpu < 4; ++cpu) {
        cpuinfo += "processor\t: " + std::to_string(cpu) +
                   "\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 85\n"
                   "model name\t: Intel(R) Xeon(R) CPU @ 2.20GHz\nstepping\t: 7\nphysical id\t: " +
                   std::to_string(cpu / 2) + "\n\n";
    }
    root.write("proc/cpuinfo", cpuinfo);
    root.write("proc/meminfo", "MemTotal:       24576000 kB\nMemFree:        1 kB\n");
    root.write("sys/bus/pci/devices/0000:00:02.0/class", "0x030000\n");
    root.write("sys/bus/pci/devices/0000:00:02.0/vendor", "0x1234\n");
    root.write("sys/bus/pci/devices/0000:00:02.0/device", "0x1111\n");
    root.write("sys/bus/pci/devices/0000:00:03.0/class", "0x020000\n");  // a network card
    root.write("sys/bus/pci/drivers/bochs-drm/.keep", "");
    std::filesystem::create_directory_symlink("../../../bus/pci/drivers/bochs-drm",
                                              root.path() / "sys/bus/pci/devices/0000:00:02.0/driver");
    root.write("sys/module/bochs_drm/version", "1.0\n");
    root.write("usr/share/misc/pci.ids", "# ids\n1234  Technical Corp\n\t1111  QEMU Virtual Video\n");
    root.write("sys/class/dmi/id/board_vendor", "Tachy Boards\n");
    root.write("sys/class/dmi/id/board_name", "TB-1\n");
    root.write("sys/class/dmi/id/board_version", "rev 2\n");
}

} // namespace

TEST(SystemReport, ReadsThePreparedMachine) {
    const tachy::test::TempFolder root;
    prepareMachine(root);
    const SystemReport report(root.path());
    const auto system = report.operatingSystem();
    ASSERT_TRUE(system.has_value());
    EXPECT_EQ(system->name, "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(system->version, "6.1.0-27-amd64");
    const auto processors = report.processors();
    ASSERT_EQ(processors.size(), 2U);
    EXPECT_EQ(processors[0].name, "Intel(R) Xeon(R) CPU @ 2.20GHz");
    EXPECT_EQ(processors[0].manufacturer, "GenuineIntel");
    EXPECT_EQ(processors[0].description, "Family 6 Model 85 Stepping 7");
    const auto video = report.videoControllers();
    ASSERT_EQ(video.size(), 1U);
    EXPECT_EQ(video[0].name, "Technical Corp QEMU Virtual Video");
    EXPECT_EQ(video[0].installedDriver, "bochs-drm");
    EXPECT_EQ(video[0].driverVersion, "1.0");
    const auto board = report.board();
    ASSERT_TRUE(board.has_value());
    EXPECT_EQ(board->product, "TB-1");
    EXPECT_EQ(report.totalMemoryBytes(), 24576000ULL * 1024);
}

TEST(SystemReport, EmptyRootGivesNoFacts) {
    const tachy::test::TempFolder root;
    const SystemReport report(root.path());
    EXPECT_FALSE(report.operatingSystem().has_value());
    EXPECT_TRUE(report.processors().empty());
    EXPECT_TRUE(report.videoControllers().empty());
    EXPECT_FALSE(report.board().has_value());
    EXPECT_FALSE(report.totalMemoryBytes().has_value());
}

TEST(SystemReport, ThisMachineHasProcessorsAndMemory) {
    const SystemReport report;
    EXPECT_FALSE(report.processors().empty());
    EXPECT_GT(report.totalMemoryBytes().value_or(0), 0U);
}
