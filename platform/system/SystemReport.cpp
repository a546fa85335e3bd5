#include "platform/system/SystemReport.h"

#include "platform/fs/DirectoryListing.h"
#include "platform/fs/FileIo.h"

#include <map>
#include <string_view>

namespace tachy {
namespace {

std::string_view trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// "key : value" lines of /proc files, or KEY=value lines of os-release.
bool splitField(std::string_view line, char separator, std::string_view& key,
                std::string_view& value) {
    const std::size_t at = line.find(separator);
    if (at == std::string_view::npos) {
        return false;
    }
    key = trim(line.substr(0, at));
    value = trim(line.substr(at + 1));
    return true;
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string withoutHexPrefix(std::string_view id) {
    return std::string(id.starts_with("0x") ? id.substr(2) : id);
}

// Kernel modules are listed under /sys/module with '_' where driver names have '-'.
std::string moduleName(std::string driver) {
    for (char& c : driver) {
        if (c == '-') {
            c = '_';
        }
    }
    return driver;
}

} // namespace

SystemReport::SystemReport(std::filesystem::path root) : m_root(std::move(root)) {}

std::filesystem::path SystemReport::under(const std::filesystem::path& absolute) const {
    return m_root / absolute.relative_path();
}

std::string SystemReport::readTrimmed(const std::filesystem::path& absolute) const {
    const auto bytes = fs::readFile(under(absolute));
    return bytes ? std::string(trim(*bytes)) : std::string();
}

std::optional<SystemReport::OperatingSystem> SystemReport::operatingSystem() const {
    auto bytes = fs::readFile(under("/etc/os-release"));
    if (!bytes) {
        bytes = fs::readFile(under("/usr/lib/os-release"));
    }
    if (!bytes) {
        return std::nullopt;
    }
    OperatingSystem system;
    for (const std::string_view line : lines(*bytes)) {
        std::string_view key;
        std::string_view value;
        if (splitField(line, '=', key, value) && key == "PRETTY_NAME") {
            system.name = unquote(value);
        }
    }
    system.version = readTrimmed("/proc/sys/kernel/osrelease");
    system.buildNumber = readTrimmed("/proc/sys/kernel/version");
    return system;
}

std::vector<SystemReport::Processor> SystemReport::processors() const {
    const auto bytes = fs::readFile(under("/proc/cpuinfo"));
    if (!bytes) {
        return {};
    }
    // /proc/cpuinfo lists logical processors; keep the first of each physical package.
    std::map<std::string, Processor> packages;
    std::map<std::string, std::string> fields;
    auto flush = [&] {
        if (fields.empty()) {
            return;
        }
        const std::string package = fields["physical id"];
        if (!packages.contains(package)) {
            Processor processor;
            processor.name = fields["model name"];
            processor.manufacturer = fields["vendor_id"];
            processor.description = "Family " + fields["cpu family"] + " Model " + fields["model"] +
                                    " Stepping " + fields["stepping"];
            processor.familyDescription = fields["cpu family"];
            packages.emplace(package, std::move(processor));
        }
        fields.clear();
    };
    for (const std::string_view line : lines(*bytes)) {
        std::string_view key;
        std::string_view value;
        if (trim(line).empty()) {
            flush();
        } else if (splitField(line, ':', key, value)) {
            fields.emplace(std::string(key), std::string(value));
        }
    }
    flush();
    std::vector<Processor> result;
    result.reserve(packages.size());
    for (auto& [package, processor] : packages) {
        result.push_back(std::move(processor));
    }
    return result;
}

std::string SystemReport::pciName(const std::string& vendor, const std::string& device) const {
    // pci.ids: "vendor  Vendor Name" lines, each followed by "\tdevice  Device Name" lines.
    for (const char* file : {"/usr/share/misc/pci.ids", "/usr/share/hwdata/pci.ids"}) {
        const auto bytes = fs::readFile(under(file));
        if (!bytes) {
            continue;
        }
        std::string vendorName;
        for (const std::string_view line : lines(*bytes)) {
            if (line.empty() || line.front() == '#') {
                continue;
            }
            if (line.front() != '\t') {
                if (!vendorName.empty()) {
                    break;
                }
                if (line.starts_with(vendor + "  ")) {
                    vendorName = std::string(line.substr(vendor.size() + 2));
                }
            } else if (!vendorName.empty() && line.substr(1).starts_with(device + "  ")) {
                return vendorName + " " + std::string(line.substr(device.size() + 3));
            }
        }
        if (!vendorName.empty()) {
            return vendorName.append(" device ").append(device);
        }
    }
    return "PCI device " + vendor + ":" + device;
}

std::vector<SystemReport::VideoController> SystemReport::videoControllers() const {
    std::vector<VideoController> controllers;
    const std::filesystem::path devices = under("/sys/bus/pci/devices");
    for (const DirectoryListing::Entry& entry : DirectoryListing::list(devices, "*")) {
        const std::filesystem::path device = "/sys/bus/pci/devices/" + entry.name;
        // PCI base class 0x03: display controllers.
        if (!readTrimmed(device / "class").starts_with("0x03")) {
            continue;
        }
        VideoController controller;
        controller.name = pciName(withoutHexPrefix(readTrimmed(device / "vendor")),
                                  withoutHexPrefix(readTrimmed(device / "device")));
        controller.videoProcessor = controller.name;
        controller.description = controller.name;
        std::error_code error;
        const auto driver = std::filesystem::read_symlink(under(device / "driver"), error);
        if (!error) {
            controller.installedDriver = driver.filename().string();
            controller.driverVersion =
                readTrimmed("/sys/module/" + moduleName(controller.installedDriver) + "/version");
        }
        controllers.push_back(std::move(controller));
    }
    return controllers;
}

std::optional<SystemReport::Board> SystemReport::board() const {
    Board board;
    board.manufacturer = readTrimmed("/sys/class/dmi/id/board_vendor");
    board.product = readTrimmed("/sys/class/dmi/id/board_name");
    board.version = readTrimmed("/sys/class/dmi/id/board_version");
    if (board.manufacturer.empty() && board.product.empty()) {
        return std::nullopt;
    }
    return board;
}

std::optional<std::uint64_t> SystemReport::totalMemoryBytes() const {
    const auto bytes = fs::readFile(under("/proc/meminfo"));
    if (!bytes) {
        return std::nullopt;
    }
    for (const std::string_view line : lines(*bytes)) {
        std::string_view key;
        std::string_view value;
        if (splitField(line, ':', key, value) && key == "MemTotal") {
            std::uint64_t kilobytes = 0;
            for (const char c : value) {
                if (c < '0' || c > '9') {
                    break;
                }
                kilobytes = kilobytes * 10 + static_cast<std::uint64_t>(c - '0');
            }
            return kilobytes * 1024;
        }
    }
    return std::nullopt;
}

} // namespace tachy
