#pragma once
// Damage done to a card's files by the damaged-card tests, and a fingerprint of every file
// under a folder to show that a program changed nothing it was not asked to change.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace tachy::robust {

// Every file and folder under `root`, by relative path: "dir" for a folder, the size and a
// 64-bit FNV-1a hash of the content for a file ("unreadable" when it cannot be read).
std::map<std::string, std::string> fingerprint(const std::filesystem::path& root);

// Cuts the file at `offset` bytes.
void cutAt(const std::filesystem::path& file, std::uintmax_t offset);
// Inverts the byte at `offset`.
void flipByte(const std::filesystem::path& file, std::uintmax_t offset);
// The offset of the first occurrence of the four-character code `tag` at or after `from`
// (npos when there is none).
std::uintmax_t findTag(const std::filesystem::path& file, const std::string& tag,
                       std::uintmax_t from = 0);

} // namespace tachy::robust
