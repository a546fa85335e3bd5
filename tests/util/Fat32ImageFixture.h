#pragma once
// Sparse disk images and the outside tools (dosfstools, mtools) that judge what is written on
// them.

#include "tests/support/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tachy::test {

// Creates a sparse file of `bytes` bytes.
std::filesystem::path makeSparseImage(const TempFolder& folder, const std::string& name,
                                      std::uint64_t bytes);
// Bytes the file takes on disk (what was really written to a sparse image).
std::uint64_t allocatedBytes(const std::filesystem::path& path);
// `bytes` bytes of the file from `offset`.
std::string readBytes(const std::filesystem::path& path, std::uint64_t offset, std::size_t bytes);

struct ToolResult {
    bool ok = false;
    std::string output;
};
// Runs a shell command (stderr joined to stdout) with mtools' cluster-count check off.
ToolResult runTool(const std::string& command);
std::string quoted(const std::filesystem::path& path);

} // namespace tachy::test
