#include "setupfile/SetupChecksum.h"

namespace tachy::setupfile {

std::uint8_t ComputeChecksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 255;
    for (std::size_t i = kChecksumFirst; i < kChecksumOffset && i < bytes.size(); ++i) {
        sum += bytes[i];
    }
    return static_cast<std::uint8_t>(~sum & 0xFF);
}

void UpdateChecksum(SetupBuffer& buffer) {
    buffer[kChecksumOffset] = ComputeChecksum(buffer);
}

bool HasValidChecksum(std::span<const std::uint8_t> bytes) {
    return bytes.size() == kSetupFileSize && bytes[kChecksumOffset] == ComputeChecksum(bytes);
}

} // namespace tachy::setupfile
