#pragma once
// Scales a surface's picture into the device's back buffer with a background colour and
// brightness, contrast and saturation. It reports the ranges it supports as video processors do:
// brightness -100 to 100 luma steps (default 0), contrast 0 to 2 (default 1), saturation 0 to 10
// (default 1), all 16.16 fixed point.

#include "platform/video/VideoTypes.h"

namespace tachy::video {

class VideoDevice;
class VideoSurface;

class VideoProcessor {
public:
    explicit VideoProcessor(VideoDevice& device) : m_device(device) {}

    static bool procAmpRange(ProcAmpProperty property, ProcAmpRange& range);

    // Fills `target` with `background` and draws `sourceRect` of `source` into `destRect`.
    // False when the rectangles are unusable (nothing is drawn then).
    bool blt(const VideoSurface& source, const VideoRect& sourceRect, const VideoRect& destRect,
             const VideoRect& target, const YCbCrColour& background, const ProcAmpValues& procAmp);

private:
    VideoDevice& m_device;
};

} // namespace tachy::video
