#pragma once
// The settings file's checksum: byte 1312 is the complement of the low 8 bits of 255 plus the sum
// of bytes 64 to 1311, so that bytes 64 to 1312 sum to 0 modulo 256.

#include "setupfile/SetupFileLayout.h"

#include <cstdint>
#include <span>

namespace tachy::setupfile {

// The checksum the bytes should carry; `bytes` must hold at least kChecksumOffset bytes.
std::uint8_t ComputeChecksum(std::span<const std::uint8_t> bytes);

// Recomputes byte 1312.
void UpdateChecksum(SetupBuffer& buffer);

// Whether a file of the full size carries the checksum of its bytes.
bool HasValidChecksum(std::span<const std::uint8_t> bytes);

} // namespace tachy::setupfile
