#pragma once
// Reads and writes the settings file's 32-byte ANSI text fields in a real code page (CP949 for
// Korean, CP1252 for English and German), as Windows does in the system's ANSI code page.

#include "setupfile/SetupFileLayout.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tachy::setupfile {

// The field's text up to its first NUL (or all 32 bytes), as UTF-8.
std::string ReadTextField(std::span<const std::uint8_t> bytes, SetupTextField field, int codePage);

// The text as the field would store it: encoded in the code page and cut to at most 32 bytes
// without splitting a double-byte character.
std::string EncodeTextField(std::string_view utf8, int codePage);

// Stores the text NUL-padded; answers the bytes stored.
std::string WriteTextField(SetupBuffer& buffer, SetupTextField field, std::string_view utf8,
                           int codePage);

// Whether the field holds `expected`: the same text read in the code page (exact and case
// sensitive) or the very bytes writing `expected` would store, so that a name the code page
// cannot hold or that is cut to 32 bytes still matches the file written from it.
bool TextFieldMatches(std::span<const std::uint8_t> bytes, SetupTextField field,
                      std::string_view expected, int codePage);

} // namespace tachy::setupfile
