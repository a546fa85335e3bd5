#include "platform/video/SoftwareScaler.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace tachy::video {

SoftwareScaler::~SoftwareScaler() {
    for (Entry& entry : m_entries) {
        sws_freeContext(entry.context);
    }
}

SwsContext* SoftwareScaler::context(int sourceWidth, int sourceHeight, bool yuv, int destWidth,
                                    int destHeight) {
    ++m_uses;
    for (Entry& entry : m_entries) {
        if (entry.context != nullptr && entry.sourceWidth == sourceWidth &&
            entry.sourceHeight == sourceHeight && entry.yuv == yuv &&
            entry.destWidth == destWidth && entry.destHeight == destHeight) {
            entry.lastUse = m_uses;
            return entry.context;
        }
    }
    // The entry used longest ago makes room.
    Entry& oldest =
        *std::min_element(m_entries.begin(), m_entries.end(),
                          [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
    sws_freeContext(oldest.context);
    oldest = {sourceWidth, sourceHeight,
              yuv,         destWidth,
              destHeight,  make(sourceWidth, sourceHeight, yuv, destWidth, destHeight),
              m_uses};
    return oldest.context;
}

SwsContext* SoftwareScaler::make(int sourceWidth, int sourceHeight, bool yuv, int destWidth,
                                 int destHeight) {
    const int flags = destWidth * 2 <= sourceWidth ? SWS_FAST_BILINEAR : SWS_BILINEAR;
    SwsContext* context =
        sws_getContext(sourceWidth, sourceHeight, yuv ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_BGR0,
                       destWidth, destHeight, AV_PIX_FMT_BGR0, flags, nullptr, nullptr, nullptr);
    if (context != nullptr && yuv) {
        // Studio-range BT.709 in, full-range RGB out.
        const int* coefficients = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(context, coefficients, 0, coefficients, 1, 0, 1 << 16, 1 << 16);
    }
    return context;
}

} // namespace tachy::video
