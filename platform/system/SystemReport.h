#pragma once
// Facts about this computer for the suite's system report: operating system, processors,
// display adapters, main board and memory, read from /etc, /proc and /sys under a root folder
// that tests can point at a prepared tree.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tachy {

class SystemReport {
public:
    struct OperatingSystem {
        std::string name;         // PRETTY_NAME of os-release
        int servicePack = 0;      // Linux has none
        std::string version;      // kernel release
        std::string buildNumber;  // kernel build text
    };
    struct Processor {
        std::string name;
        std::string description;
        std::string manufacturer;
        std::string socket;
        std::string familyDescription;
    };
    struct VideoController {
        std::string name;
        std::string videoProcessor;
        std::string description;
        std::string installedDriver;
        std::string driverVersion;
    };
    struct Board {
        std::string manufacturer;
        std::string product;
        std::string version;
        std::string partNumber;
    };

    explicit SystemReport(std::filesystem::path root = "/");

    std::optional<OperatingSystem> operatingSystem() const;
    // One entry per physical processor package.
    std::vector<Processor> processors() const;
    // One entry per PCI display controller.
    std::vector<VideoController> videoControllers() const;
    std::optional<Board> board() const;
    std::optional<std::uint64_t> totalMemoryBytes() const;

private:
    std::filesystem::path under(const std::filesystem::path& absolute) const;
    std::string readTrimmed(const std::filesystem::path& absolute) const;
    std::string pciName(const std::string& vendor, const std::string& device) const;

    std::filesystem::path m_root;
};

} // namespace tachy
