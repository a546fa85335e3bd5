#include "skinres/SkinValueText.h"

#include "platform/profile/ProfileFile.h"

#include <array>

namespace tachy::skin {

std::uint32_t parseColorText(std::string_view text) {
    std::array<std::uint32_t, 4> parts{};
    std::size_t count = 0;
    std::size_t start = 0;
    while (count < parts.size()) {
        const std::size_t comma = text.find(',', start);
        const std::string_view part =
            text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                               : comma - start);
        parts[count++] = static_cast<std::uint32_t>(ProfileFile::parseInt(part)) & 0xFFu;
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (count < parts.size()) {
        return kDefaultColor;
    }
    return (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
}

std::uint16_t parseLanguageId(std::string_view text) {
    std::uint32_t value = 0;
    std::uint32_t weight = 1;
    for (std::size_t i = text.size(); i-- > 0;) {
        const char c = text[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else if (c == 'x' || c == 'X') {
            break;
        } else {
            return 0xFFFF;
        }
        value += digit * weight;  // wraps like the 32-bit accumulator it stands for
        weight *= 16;
    }
    return static_cast<std::uint16_t>(value);
}

SizedText splitSizedText(std::string_view value) {
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) {
        return {ProfileFile::parseInt(value), std::string(value)};
    }
    return {ProfileFile::parseInt(value.substr(0, comma)), std::string(value.substr(comma + 1))};
}

NumberedText splitNumberedText(std::string_view value) {
    NumberedText result;
    const std::size_t first = value.find(',');
    result.number = ProfileFile::parseInt(value.substr(0, first));
    if (first == std::string_view::npos) {
        return result;
    }
    const std::string_view rest = value.substr(first + 1);
    const std::size_t second = rest.find(',');
    result.size = ProfileFile::parseInt(rest.substr(0, second));
    if (second != std::string_view::npos) {
        result.text = std::string(rest.substr(second + 1));
    }
    return result;
}

} // namespace tachy::skin
