#include "display/DisplayGeometry.h"

#include <algorithm>
#include <cstdint>

namespace tachy::display {
namespace {

// value x numerator / denominator in 64 bits, truncated toward zero.
int scaled(long long value, long long numerator, long long denominator) {
    return denominator == 0 ? 0 : static_cast<int>(value * numerator / denominator);
}

VideoRect centred(const VideoRect& client, int width, int height) {
    const int left = client.left + (client.width() - width) / 2;
    const int top = client.top + (client.height() - height) / 2;
    return {left, top, left + width, top + height};
}

// One axis of the zoom: the zoomed span's start, given the client span, the fitted span, the
// last zoomed span, the zoom point and the pending pan.
int zoomAxis(int clientSize, int zoomedSize, int fittedStart, int fittedEnd, int lastStart, int lastSize,
             int point, int& pan) {
    int start = 0;
    if (clientSize >= zoomedSize || lastSize < clientSize || lastSize <= 0) {
        start = (clientSize - zoomedSize) / 2;
    } else {
        // The picture point under the zoom point stays where it is.
        const int anchor = std::clamp(point, 0, clientSize);
        start = anchor - scaled(anchor - lastStart, zoomedSize, lastSize);
        start += pan;
        if (start > fittedStart) {
            start = fittedStart;
        } else if (start + zoomedSize < fittedEnd) {
            start = fittedEnd - zoomedSize;
        }
    }
    // A pan the zoom could not use is dropped rather than kept for a later jump.
    pan = 0;
    return start;
}

} // namespace

std::vector<VideoRect> layoutRects(int layout, int clientWidth, int clientHeight) {
    const int halfWidth = clientWidth / 2;
    const int halfHeight = clientHeight / 2;
    const int quarterWidth = clientWidth / 4;
    const int quarterHeight = clientHeight / 4;
    std::vector<VideoRect> rects;
    const auto grid = [&](int count, int columns, int cellWidth, int cellHeight) {
        for (int index = 0; index < count; ++index) {
            const int left = index % columns * cellWidth;
            const int top = index / columns * cellHeight;
            rects.push_back({left, top, left + cellWidth, top + cellHeight});
        }
    };
    switch (layout) {
    case 0:
        rects.push_back({0, 0, clientWidth, clientHeight});
        break;
    case 1:
        grid(2, 2, halfWidth, clientHeight);
        break;
    case 2:
        grid(4, 2, halfWidth, halfHeight);
        break;
    case 3:
        grid(8, 4, quarterWidth, halfHeight);
        break;
    case 4:
        grid(16, 4, quarterWidth, quarterHeight);
        break;
    default:
        break;
    }
    return rects;
}

VideoRect fitRatio(const VideoRect& client, int ratioWidth, int ratioHeight) {
    if (ratioWidth <= 0 || ratioHeight <= 0) {
        return client;
    }
    const long long width = client.width();
    const long long height = client.height();
    if (width * ratioHeight > height * ratioWidth) {
        return centred(client, scaled(height, ratioWidth, ratioHeight), static_cast<int>(height));
    }
    return centred(client, static_cast<int>(width), scaled(width, ratioHeight, ratioWidth));
}

VideoRect fitPicture(const VideoRect& client, int pictureWidth, int pictureHeight, const FitOptions& options) {
    if (options.originalSize && client.width() >= pictureWidth && client.height() >= pictureHeight) {
        return centred(client, pictureWidth, pictureHeight);
    }
    if ((options.aspectMode & 0x10000) == 0) {
        return client;
    }
    const unsigned long mode = options.aspectMode & 0xFFFF;
    if (options.keepRatio) {
        if (mode == 1) {
            return fitRatio(client, 16, 9);
        }
        if (mode == 2) {
            return fitRatio(client, 4, 3);
        }
        return fitRatio(client, pictureWidth, pictureHeight);
    }
    if (mode == 1) {
        return client;
    }
    if (mode == 2) {
        return fitRatio(client, 4, 3);
    }
    return options.wideFlag == 1 ? client : fitRatio(client, pictureWidth, pictureHeight);
}

VideoRect applyZoom(const VideoRect& client, const VideoRect& fitted, ZoomState& state) {
    if (state.level == 256) {
        state.zoomed = fitted;
        state.lastClient = client;
        state.panX = state.panY = 0;
        return fitted;
    }
    // The window changed size: the zoom point and the last zoomed rectangle follow it.
    if (!(client == state.lastClient) && !state.lastClient.empty()) {
        const int oldWidth = state.lastClient.width();
        const int oldHeight = state.lastClient.height();
        state.pointX = scaled(state.pointX, client.width(), oldWidth);
        state.pointY = scaled(state.pointY, client.height(), oldHeight);
        VideoRect& last = state.zoomed;
        last = {scaled(last.left, client.width(), oldWidth), scaled(last.top, client.height(), oldHeight),
                scaled(last.right, client.width(), oldWidth), scaled(last.bottom, client.height(), oldHeight)};
    }
    const VideoRect last = state.zoomed.empty() ? fitted : state.zoomed;
    const int zoomedWidth = scaled(fitted.width(), state.level, 256);
    const int zoomedHeight = scaled(fitted.height(), state.level, 256);
    const int left = zoomAxis(client.width(), zoomedWidth, fitted.left, fitted.right, last.left, last.width(),
                              state.pointX, state.panX);
    const int top = zoomAxis(client.height(), zoomedHeight, fitted.top, fitted.bottom, last.top, last.height(),
                             state.pointY, state.panY);
    state.zoomed = {left, top, left + zoomedWidth, top + zoomedHeight};
    state.lastClient = client;
    return state.zoomed;
}

ClippedBlit clipToClient(const VideoRect& zoomed, const VideoRect& client, int pictureWidth, int pictureHeight) {
    ClippedBlit blit{{0, 0, pictureWidth, pictureHeight}, zoomed};
    const int width = zoomed.width();
    const int height = zoomed.height();
    if (zoomed.left < client.left) {
        blit.source.left = scaled(client.left - zoomed.left, pictureWidth, width);
        blit.dest.left = client.left;
    }
    if (zoomed.top < client.top) {
        blit.source.top = scaled(client.top - zoomed.top, pictureHeight, height);
        blit.dest.top = client.top;
    }
    if (zoomed.right > client.right) {
        blit.source.right = pictureWidth - scaled(zoomed.right - client.right, pictureWidth, width);
        blit.dest.right = client.right;
    }
    if (zoomed.bottom > client.bottom) {
        blit.source.bottom = pictureHeight - scaled(zoomed.bottom - client.bottom, pictureHeight, height);
        blit.dest.bottom = client.bottom;
    }
    return blit;
}

VideoRect overviewRect(const VideoRect& client, int pictureWidth, int pictureHeight, int corner,
                       const VideoRect& previous) {
    const int width = client.width() / 4;
    const int height = scaled(pictureHeight, width, pictureWidth);
    const int marginX = client.width() * 20 / 768;
    const int marginY = client.height() * 20 / 432;
    int left = previous.left;
    int top = previous.top;
    switch (corner) {
    case 0:
        left = marginX;
        top = marginY;
        break;
    case 1:
        left = client.width() - marginX - width;
        top = marginY;
        break;
    case 2:
        left = marginX;
        top = client.height() - marginY - height;
        break;
    case 3:
        left = client.width() - marginX - width;
        top = client.height() - marginY - height;
        break;
    default:
        break;
    }
    return {left, top, left + width, top + height};
}

int mapProcAmp(int value, const video::ProcAmpRange& range, bool contrast) {
    const long long span = static_cast<long long>(range.maximum) - range.minimum;
    const long long mapped = range.minimum + span * value / 100;
    const long long upper = range.maximum;
    const long long lower = std::min(contrast ? static_cast<long long>(range.minimum) + 6553 : range.minimum, upper);
    return static_cast<int>(std::clamp(mapped, lower, upper));
}

} // namespace tachy::display
