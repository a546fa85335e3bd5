// Reads arbitrary bytes as naming-rule text and as file names. Up to the first NUL byte the input
// is a rule file, read as the catalogue reads one; what follows (or, without a NUL, the whole
// input) is a list of file names, one a line, scanned against that rule and against each of the
// three rules the suite ships. Every name that parses is composed again and, under a shipped
// rule and with a known mode, must parse back to the same figures.

#include "util/naming/AviNameFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

std::filesystem::path scratchRule() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return base / ("tachy-fuzz-rule-" + std::to_string(::getpid()) + ".ini");
}

const std::array<_AVI_NAME_FORMAT2, 3>& shippedRules() {
    static const std::array<_AVI_NAME_FORMAT2, 3> rules = [] {
        std::array<_AVI_NAME_FORMAT2, 3> read{};
        const char* names[] = {"A", "B", "C"};
        for (std::size_t i = 0; i < read.size(); ++i) {
            read[i] = naming::ReadNameFormat(
                std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_" + names[i] + ".ini", 2);
        }
        return read;
    }();
    return rules;
}

void scan(const _AVI_NAME_FORMAT2& format, std::string_view name, bool shipped) {
    naming::StreamFileName fields;
    int wanted = 0;
    const int read = naming::ParseNameFields(format, name, fields, wanted);
    require(read >= 0 && read <= naming::kComponentCount);
    naming::StreamFileName parsed;
    if (!naming::ParseName(format, name, parsed)) {
        return;
    }
    const std::string composed = naming::ComposeName(format, parsed, ".avi");
    naming::BuildName(format, "card", parsed.channel, parsed.fileNumber, parsed.timeMs / 1000,
                      parsed.millisecond, parsed.lengthMs, parsed.recordMode);
    naming::BuildName(format, "", parsed.channel, parsed.fileNumber, parsed.timeMs / 1000,
                      parsed.millisecond, parsed.lengthMs, 'E');
    // A name whose mode code is not in the table has no mode the composer could write.
    if (!shipped || parsed.recordMode < 0) {
        return;
    }
    naming::StreamFileName again;
    require(naming::ParseName(format, composed, again));
    require(again.channel == parsed.channel && again.fileNumber == parsed.fileNumber &&
            again.timeMs == parsed.timeMs && again.recordMode == parsed.recordMode);
}

void scanAll(const _AVI_NAME_FORMAT2* own, std::string_view names) {
    while (!names.empty()) {
        const std::size_t end = names.find('\n');
        const std::string_view name = names.substr(0, end);
        names = end == std::string_view::npos ? std::string_view() : names.substr(end + 1);
        if (own != nullptr) {
            scan(*own, name, false);
        }
        for (const _AVI_NAME_FORMAT2& rule : shippedRules()) {
            scan(rule, name, true);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    if (split == std::string_view::npos) {
        scanAll(nullptr, input);
        return 0;
    }
    static const std::filesystem::path path = scratchRule();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, split, file);
    std::fclose(file);
    const _AVI_NAME_FORMAT2 own = naming::ReadNameFormat(path, static_cast<int>(size % 4));
    std::remove(path.c_str());
    for (const _AVI_NAME_ITEM& item : own.items) {
        naming::ItemText(item);
    }
    scanAll(&own, input.substr(split + 1));
    return 0;
}
