#pragma once
// What libavformat reads from an AVI file, to hold the RIFF reader against: every packet of one
// video stream (bytes, key flag, time) and the total bytes of the first audio stream.

#include <cstdint>
#include <string>
#include <vector>

namespace tachy::test {

struct ReferenceFrame {
    std::string bytes;
    bool key = false;
    std::int64_t timeMs = 0;  // truncated to whole milliseconds, as the recording parser gives it
};

struct ReferenceRead {
    bool opened = false;
    std::vector<ReferenceFrame> video;  // the packets of the `videoIndex`-th video stream
    std::uint64_t audioBytes = 0;       // the packets of the first audio stream
    std::int64_t lastVideoPosition = -1;  // file offset of the last video packet's chunk
};

ReferenceRead libavformatRead(const std::string& path, int videoIndex);

} // namespace tachy::test
