#pragma once
// Whole-file reads and crash-safe whole-file writes.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tachy::fs {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::filesystem::path& path);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so that readers see either the old or the new file and never a half-written one.
// Creates missing parent folders. Returns false (and leaves `path` untouched) on any failure.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace tachy::fs
