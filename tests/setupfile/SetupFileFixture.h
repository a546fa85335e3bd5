#pragma once
// Helpers of the settings-file suites: buffers, identities, and judges that do not use our code
// (Python reads back bytes and checksums, cmp compares files).

#include "setupfile/SetupFileLayout.h"
#include "setupfile/SetupIdentity.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace tachy::test {

setupfile::SetupIdentity TachyIdentity(int codePage = 1252);

// A buffer of every byte `seed`-derived, not zero, to see what an operation leaves alone.
setupfile::SetupBuffer PatternBuffer(unsigned seed);

void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::string ToString(const setupfile::SetupBuffer& buffer);

// Python's view of a file: its size and the sum of bytes 64 to the end modulo 256.
std::string PythonSizeAndSum(const std::filesystem::path& path);
// Python's reading of the bytes at the offsets, "offset=value" joined by spaces.
std::string PythonBytes(const std::filesystem::path& path, const std::string& offsetsCsv);
// Whether cmp finds the two files byte-identical.
bool CmpIdentical(const std::filesystem::path& a, const std::filesystem::path& b);

// Every non-zero byte of bytes 64 to 1311 as offset -> value.
std::map<int, int> NonZeroSettings(const setupfile::SetupBuffer& buffer);

} // namespace tachy::test
