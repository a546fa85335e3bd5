#include "viewer/playbar/KeyframeMapping.h"

#include <algorithm>
#include <cstdint>

namespace viewer::playbar {

int KeyframeMapping::FramesPerKeyframe(int frameCount, int keyframeCount) {
    if (frameCount <= 0 || keyframeCount <= 0) {
        return 1;
    }
    // In hundredths first, as the recorder's key-frame spacing is rarely a whole number.
    const std::int64_t hundredths = static_cast<std::int64_t>(frameCount) * 100 / keyframeCount;
    const std::int64_t whole = (hundredths + 99) / 100;
    return static_cast<int>(std::max<std::int64_t>(whole, 1));
}

void KeyframeMapping::SetFile(int frameCount, int keyframeCount) {
    m_frameCount = std::max(frameCount, 0);
    m_keyframeCount = std::max(keyframeCount, 0);
    m_framesPerKeyframe = FramesPerKeyframe(m_frameCount, m_keyframeCount);
}

int KeyframeMapping::KeyframeAt(int position) const {
    if (m_keyframeCount <= 0 || position <= 0) {
        return 0;
    }
    return std::min(position / m_framesPerKeyframe, m_keyframeCount - 1);
}

} // namespace viewer::playbar
