#pragma once
// A small HEVC key frame with its parameter sets, in the recorder's chunk layout (tag, 32-bit
// length, payload), made by the sample-card generator at build time. Sending it tells whether a
// hardware decoder really decodes.

#include <cstddef>
#include <cstdint>

namespace picturedec {

extern const std::uint8_t kProbeFrame[];
extern const std::size_t kProbeFrameSize;

} // namespace picturedec
