#include "platform/volume/MountTable.h"

#include "platform/fs/FileIo.h"

#include <charconv>
#include <optional>

namespace tachy {
namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', position);
        if (start == std::string_view::npos) {
            break;
        }
        std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        fields.push_back(line.substr(start, end - start));
        position = end;
    }
    return fields;
}

std::optional<unsigned> parseUnsigned(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

bool parseDeviceNumbers(std::string_view text, MountEntry& entry) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const auto major = parseUnsigned(text.substr(0, colon));
    const auto minor = parseUnsigned(text.substr(colon + 1));
    if (!major || !minor) {
        return false;
    }
    entry.major = *major;
    entry.minor = *minor;
    return true;
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

std::optional<MountEntry> parseLine(std::string_view line) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    const std::vector<std::string_view> fields = splitFields(line);
    std::size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-") {
        ++separator;
    }
    if (fields.size() < 6 || separator + 2 >= fields.size()) {
        return std::nullopt;
    }
    MountEntry entry;
    if (!parseDeviceNumbers(fields[2], entry)) {
        return std::nullopt;
    }
    entry.root = decodeMountField(fields[3]);
    entry.mountPoint = decodeMountField(fields[4]);
    entry.fileSystemType = decodeMountField(fields[separator + 1]);
    entry.source = decodeMountField(fields[separator + 2]);
    return entry;
}

} // namespace

std::string decodeMountField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) &&
            isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            text.push_back(static_cast<char>(value & 0xFF));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t end = text.find('\n', position);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (auto entry = parseLine(text.substr(position, end - position))) {
            entries.push_back(std::move(*entry));
        }
        position = end + 1;
    }
    return entries;
}

std::vector<MountEntry> readMountInfo(const std::filesystem::path& path) {
    const std::optional<std::string> text = fs::readFile(path);
    return text ? parseMountInfo(*text) : std::vector<MountEntry>{};
}

} // namespace tachy
