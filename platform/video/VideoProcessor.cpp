#include "platform/video/VideoProcessor.h"

#include "platform/video/VideoDevice.h"
#include "platform/video/VideoSurface.h"

namespace tachy::video {

bool VideoProcessor::procAmpRange(ProcAmpProperty property, ProcAmpRange& range) {
    switch (property) {
    case ProcAmpProperty::Brightness:
        range = {-100 * kFixedOne, 100 * kFixedOne, 0, kFixedOne / 100};
        return true;
    case ProcAmpProperty::Contrast:
        range = {0, 2 * kFixedOne, kFixedOne, kFixedOne / 100};
        return true;
    case ProcAmpProperty::Saturation:
        range = {0, 10 * kFixedOne, kFixedOne, kFixedOne / 100};
        return true;
    }
    return false;
}

bool VideoProcessor::blt(const VideoSurface& source, const VideoRect& sourceRect, const VideoRect& destRect,
                         const VideoRect& target, const YCbCrColour& background, const ProcAmpValues& procAmp) {
    const VideoRect whole{0, 0, source.width(), source.height()};
    if (sourceRect.empty() || sourceRect.intersected(whole) != sourceRect || target.empty()) {
        return false;
    }
    m_device.record({&source, sourceRect, destRect, target, background, procAmp});
    return true;
}

} // namespace tachy::video
