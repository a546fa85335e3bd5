#pragma once
// Converts text files between their stored encoding and the UTF-8 strings used in the core.
// Files written by Windows tools arrive as UTF-8 (with or without BOM), UTF-16 with BOM, or
// in the legacy "ANSI" code page of the process (text/CodePage.h), which is how the last is read
// and written back.

#include <cstddef>
#include <string>
#include <string_view>

namespace tachy::text {

enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Ansi };

struct DecodedText {
    std::string utf8;
    Encoding encoding = Encoding::Utf8;
};

// Detects the encoding from the byte-order mark (or by validating UTF-8) and decodes.
// Malformed UTF-16 units become U+FFFD.
DecodedText decode(std::string_view bytes);

// Encodes UTF-8 text for storage, with the byte-order mark the encoding implies. Characters
// that the ANSI code page cannot hold are written as '?'.
std::string encode(std::string_view utf8, Encoding encoding);

bool isValidUtf8(std::string_view bytes);

// Number of UTF-16 code units the text needs: the unit in which Windows sizes its buffers.
std::size_t utf16Length(std::string_view utf8);

// The longest prefix of the text that fits in maxUnits UTF-16 units without splitting a
// character.
std::string_view truncateUtf16(std::string_view utf8, std::size_t maxUnits);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the code point at `position` and advances it; invalid bytes yield U+FFFD.
char32_t nextCodePoint(std::string_view utf8, std::size_t& position);

} // namespace tachy::text
