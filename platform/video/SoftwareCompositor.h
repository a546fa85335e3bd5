#pragma once
// Builds a frame's picture on the CPU: each blit's target filled with its background, the source
// rectangle converted (BT.709 for YV12) and scaled bilinearly by libswscale into the destination,
// then the ProcAmp adjustment. Used by the software backend on the presenting thread.

#include "platform/video/SoftwareScaler.h"
#include "platform/video/VideoFrame.h"

#include <QImage>

namespace tachy::video {

class SoftwareCompositor {
public:
    SoftwareCompositor() = default;
    SoftwareCompositor(const SoftwareCompositor&) = delete;
    SoftwareCompositor& operator=(const SoftwareCompositor&) = delete;

    // A picture of the client area's size (32-bit, opaque).
    QImage compose(const VideoFrame& frame);
    // Takes back a picture compose() gave out and nobody shows any more, to draw the next one
    // into it instead of allocating (and faulting in) a new one per frame.
    void recycle(QImage image);

private:
    QImage takeImage(int width, int height);
    void drawBlit(QImage& image, const BlitCommand& blit);
    void scale(const VideoSurface& source, const VideoRect& sourceRect, QImage& image, const VideoRect& destRect);

    SoftwareScaler m_scaler;
    QImage m_spare;  // a picture given back by recycle()
};

} // namespace tachy::video
