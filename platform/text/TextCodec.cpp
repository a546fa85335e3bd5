#include "platform/text/TextCodec.h"

#include "platform/text/CodePage.h"

#include <cstdint>

namespace tachy::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Decodes one well-formed sequence; returns false for overlong forms, surrogates and
// truncated or out-of-range sequences.
bool decodeSequence(std::string_view bytes, std::size_t position, char32_t& codePoint,
                    std::size_t& length) {
    const auto lead = static_cast<unsigned char>(bytes[position]);
    length = sequenceLength(lead);
    if (length == 0 || position + length > bytes.size()) {
        return false;
    }
    if (length == 1) {
        codePoint = lead;
        return true;
    }
    codePoint = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[position + i]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kMinimum[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return false;
    }
    return true;
}

std::string decodeUtf16(std::string_view bytes, bool littleEndian) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t index) -> char16_t {
        const auto a = static_cast<unsigned char>(bytes[index * 2]);
        const auto b = static_cast<unsigned char>(bytes[index * 2 + 1]);
        return littleEndian ? static_cast<char16_t>(a | (b << 8))
                            : static_cast<char16_t>((a << 8) | b);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char16_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
    }
    return out;
}

void appendUtf16Unit(std::string& out, char16_t unit, bool littleEndian) {
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    out.push_back(littleEndian ? low : high);
    out.push_back(littleEndian ? high : low);
}

std::string encodeUtf16(std::string_view utf8, bool littleEndian) {
    std::string out = littleEndian ? std::string("\xFF\xFE") : std::string("\xFE\xFF");
    std::size_t position = 0;
    while (position < utf8.size()) {
        const char32_t codePoint = nextCodePoint(utf8, position);
        if (codePoint >= 0x10000) {
            const char32_t offset = codePoint - 0x10000;
            appendUtf16Unit(out, static_cast<char16_t>(0xD800 + (offset >> 10)), littleEndian);
            appendUtf16Unit(out, static_cast<char16_t>(0xDC00 + (offset & 0x3FF)), littleEndian);
        } else {
            appendUtf16Unit(out, static_cast<char16_t>(codePoint), littleEndian);
        }
    }
    return out;
}

} // namespace

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        codePoint = kReplacement;
    }
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

char32_t nextCodePoint(std::string_view utf8, std::size_t& position) {
    char32_t codePoint = 0;
    std::size_t length = 0;
    if (decodeSequence(utf8, position, codePoint, length)) {
        position += length;
        return codePoint;
    }
    ++position;
    return kReplacement;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t position = 0;
    while (position < bytes.size()) {
        char32_t codePoint = 0;
        std::size_t length = 0;
        if (!decodeSequence(bytes, position, codePoint, length)) {
            return false;
        }
        position += length;
    }
    return true;
}

DecodedText decode(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        const std::string_view body = bytes.substr(3);
        return {isValidUtf8(body) ? std::string(body) : decodeCodePage(body, ansiCodePage()),
                Encoding::Utf8Bom};
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return {decodeUtf16(bytes.substr(2), true), Encoding::Utf16Le};
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return {decodeUtf16(bytes.substr(2), false), Encoding::Utf16Be};
    }
    if (isValidUtf8(bytes)) {
        return {std::string(bytes), Encoding::Utf8};
    }
    return {decodeCodePage(bytes, ansiCodePage()), Encoding::Ansi};
}

std::string encode(std::string_view utf8, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8Bom:
        return std::string("\xEF\xBB\xBF").append(utf8);
    case Encoding::Utf16Le:
        return encodeUtf16(utf8, true);
    case Encoding::Utf16Be:
        return encodeUtf16(utf8, false);
    case Encoding::Ansi:
        return encodeCodePage(utf8, ansiCodePage());
    case Encoding::Utf8:
        break;
    }
    return std::string(utf8);
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    std::size_t position = 0;
    while (position < utf8.size()) {
        units += nextCodePoint(utf8, position) >= 0x10000 ? 2 : 1;
    }
    return units;
}

std::string_view truncateUtf16(std::string_view utf8, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t position = 0;
    while (position < utf8.size()) {
        std::size_t next = position;
        const std::size_t width = nextCodePoint(utf8, next) >= 0x10000 ? 2 : 1;
        if (units + width > maxUnits) {
            break;
        }
        units += width;
        position = next;
    }
    return utf8.substr(0, position);
}

} // namespace tachy::text
