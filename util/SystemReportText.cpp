#include "util/SystemReportText.h"

#include <cstdio>

namespace util {
namespace {

const std::string kOpen = std::string(80, '=') + "\r\n";
const std::string kRule = std::string(70, '-') + "\r\n";
const std::string kClose = std::string(80, '-') + "\r\n";

void openBlock(std::string& out, const char* title) {
    out += kOpen;
    out += title;
    out += "\r\n";
    out += kRule;
}

void property(std::string& out, const char* label, const std::string& value,
              const char* ending = "\r\n") {
    out += label;
    out += value;
    out += ending;
}

void operatingSystem(std::string& out, const tachy::SystemReport::OperatingSystem& system) {
    openBlock(out, "Operating System");
    property(out, "OS Name: ", system.name);
    out += "Service Pack " + std::to_string(system.servicePack) + ", ";
    property(out, "version ", system.version, ", ");
    property(out, "BuildNumber ", system.buildNumber);
    out += kClose;
}

void processor(std::string& out, const tachy::SystemReport::Processor& processor) {
    openBlock(out, "Processor");
    property(out, "Name: ", processor.name);
    property(out, "Description: ", processor.description);
    property(out, "Manufacturer: ", processor.manufacturer);
    property(out, "Socket: ", processor.socket);
    property(out, "Family Description: ", processor.familyDescription);
    out += kClose;
}

void videoController(std::string& out, const tachy::SystemReport::VideoController& controller) {
    openBlock(out, "Video Controller");
    property(out, "Name: ", controller.name);
    property(out, "Video Processor: ", controller.videoProcessor);
    property(out, "Description: ", controller.description);
    property(out, "Install Driver: ", controller.installedDriver);
    property(out, "Driver version: ", controller.driverVersion);
    out += kClose;
}

void board(std::string& out, const tachy::SystemReport::Board& board) {
    openBlock(out, "Motherboard");
    property(out, "Manufacturer: ", board.manufacturer);
    property(out, "Product: ", board.product, " ");
    property(out, "", board.version);
    property(out, "Part Number: ", board.partNumber);
    out += kClose;
}

} // namespace

std::string systemReportText(const tachy::SystemReport& report) {
    std::string out;
    if (const auto system = report.operatingSystem()) {
        operatingSystem(out, *system);
    }
    for (const auto& item : report.processors()) {
        processor(out, item);
    }
    for (const auto& item : report.videoControllers()) {
        videoController(out, item);
    }
    if (const auto item = report.board()) {
        board(out, *item);
    }
    if (const auto bytes = report.totalMemoryBytes()) {
        openBlock(out, "Memory");
        char line[64];
        std::snprintf(line, sizeof line, "Total Memory: %d MB\r\n",
                      static_cast<int>(*bytes / (1024ULL * 1024ULL)));
        out += line;
        out += kClose;
    }
    return out;
}

} // namespace util
