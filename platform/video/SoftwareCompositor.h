#pragma once
// Builds a frame's picture on the CPU: each blit's target filled with its background, the source
// rectangle converted (BT.709 for YV12) and scaled bilinearly by libswscale into the destination,
// then the ProcAmp adjustment. Used by the software backend on the presenting thread.

#include "platform/video/VideoFrame.h"

#include <QImage>

struct SwsContext;

namespace tachy::video {

class SoftwareCompositor {
public:
    SoftwareCompositor() = default;
    ~SoftwareCompositor();
    SoftwareCompositor(const SoftwareCompositor&) = delete;
    SoftwareCompositor& operator=(const SoftwareCompositor&) = delete;

    // A picture of the client area's size (32-bit, opaque).
    QImage compose(const VideoFrame& frame);

private:
    void drawBlit(QImage& image, const BlitCommand& blit);
    void scale(const VideoSurface& source, const VideoRect& sourceRect, QImage& image, const VideoRect& destRect);

    SwsContext* m_scaler = nullptr;  // owned; freed in the destructor
};

} // namespace tachy::video
