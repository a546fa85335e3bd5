#pragma once
// What one present shows: the client area, and the blits in the order they were made. Each blit
// fills its target rectangle with the background colour and draws the source rectangle of a
// surface scaled into its destination rectangle with the ProcAmp values.

#include "platform/video/VideoTypes.h"

#include <vector>

namespace tachy::video {

class VideoSurface;

struct BlitCommand {
    const VideoSurface* source = nullptr;  // borrowed: surfaces outlive the frames that use them
    VideoRect sourceRect;
    VideoRect destRect;
    VideoRect targetRect;
    YCbCrColour background;
    ProcAmpValues procAmp;
};

struct VideoFrame {
    VideoRect client;
    std::vector<BlitCommand> blits;
};

} // namespace tachy::video
