#include "platform/video/SoftwareCompositor.h"

#include "platform/video/ColourMath.h"
#include "platform/video/VideoSurface.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <QPainter>
#include <algorithm>

namespace tachy::video {
namespace {

// `inner` clipped to `bounds`, and `source` cut by the same shares.
bool clipProportionally(VideoRect& inner, VideoRect& source, const VideoRect& bounds) {
    const VideoRect clipped = inner.intersected(bounds);
    if (clipped.empty()) {
        return false;
    }
    const long long width = inner.width();
    const long long height = inner.height();
    const VideoRect original = source;
    source.left = original.left + static_cast<int>((clipped.left - inner.left) * original.width() / width);
    source.right = original.right - static_cast<int>((inner.right - clipped.right) * original.width() / width);
    source.top = original.top + static_cast<int>((clipped.top - inner.top) * original.height() / height);
    source.bottom = original.bottom - static_cast<int>((inner.bottom - clipped.bottom) * original.height() / height);
    inner = clipped;
    return !source.empty();
}

// Fills `area` except the part `hole` covers (that part is drawn over next).
void fillAround(QImage& image, const VideoRect& area, const VideoRect& hole, const QColor& colour) {
    QPainter painter(&image);
    const VideoRect inner = hole.intersected(area);
    if (inner.empty()) {
        painter.fillRect(area.left, area.top, area.width(), area.height(), colour);
        return;
    }
    painter.fillRect(area.left, area.top, area.width(), inner.top - area.top, colour);
    painter.fillRect(area.left, inner.bottom, area.width(), area.bottom - inner.bottom, colour);
    painter.fillRect(area.left, inner.top, inner.left - area.left, inner.height(), colour);
    painter.fillRect(inner.right, inner.top, area.right - inner.right, inner.height(), colour);
}

} // namespace

QImage SoftwareCompositor::compose(const VideoFrame& frame) {
    QImage image = takeImage(std::max(frame.client.width(), 1), std::max(frame.client.height(), 1));
    // Black where no blit's target reaches.
    const VideoRect whole{0, 0, image.width(), image.height()};
    const bool covered = std::any_of(frame.blits.begin(), frame.blits.end(), [&](const BlitCommand& blit) {
        return blit.targetRect.intersected(whole) == whole;
    });
    if (!covered) {
        image.fill(Qt::black);
    }
    for (const BlitCommand& blit : frame.blits) {
        drawBlit(image, blit);
    }
    return image;
}

void SoftwareCompositor::recycle(QImage image) {
    m_spare = std::move(image);
}

// The spare picture when it has the size and nobody else holds it, else a new one.
QImage SoftwareCompositor::takeImage(int width, int height) {
    QImage image = std::move(m_spare);
    m_spare = QImage();
    if (image.width() == width && image.height() == height && image.format() == QImage::Format_RGB32 &&
        image.isDetached()) {
        return image;
    }
    return QImage(width, height, QImage::Format_RGB32);
}

void SoftwareCompositor::drawBlit(QImage& image, const BlitCommand& blit) {
    const VideoRect bounds{0, 0, image.width(), image.height()};
    const VideoRect target = blit.targetRect.intersected(bounds);
    VideoRect dest = blit.destRect;
    VideoRect source = blit.sourceRect;
    const bool draws = blit.source != nullptr && !dest.empty() && clipProportionally(dest, source, bounds);
    if (!target.empty()) {
        const Rgb background = backgroundRgb(blit.background);
        fillAround(image, target, draws ? dest : VideoRect{}, QColor(background.red, background.green, background.blue));
    }
    if (!draws) {
        return;
    }
    scale(*blit.source, source, image, dest);
    if (!blit.procAmp.isIdentity()) {
        for (int row = dest.top; row < dest.bottom; ++row) {
            applyProcAmp(image.scanLine(row) + static_cast<std::ptrdiff_t>(dest.left) * 4,
                         static_cast<std::size_t>(dest.width()), blit.procAmp);
        }
    }
}

void SoftwareCompositor::scale(const VideoSurface& source, const VideoRect& sourceRect, QImage& image,
                               const VideoRect& destRect) {
    const bool yuv = source.format() == SurfaceFormat::Yv12;
    // Chroma rows and columns start on even luma positions.
    const int left = yuv ? sourceRect.left & ~1 : sourceRect.left;
    const int top = yuv ? sourceRect.top & ~1 : sourceRect.top;
    const int width = sourceRect.right - left;
    const int height = sourceRect.bottom - top;
    SwsContext* scaler = m_scaler.context(width, height, yuv, destRect.width(), destRect.height());
    if (scaler == nullptr) {
        return;
    }
    const std::uint8_t* planes[4] = {};
    int strides[4] = {};
    const std::uint8_t* bits = source.bits();
    if (yuv) {
        const std::size_t chromaOffset = static_cast<std::size_t>(top / 2) * source.chromaPitch() + left / 2;
        planes[0] = bits + static_cast<std::size_t>(top) * source.pitch() + left;
        planes[1] = bits + source.uPlaneOffset() + chromaOffset;
        planes[2] = bits + source.vPlaneOffset() + chromaOffset;
        strides[0] = source.pitch();
        strides[1] = strides[2] = source.chromaPitch();
    } else {
        planes[0] = bits + static_cast<std::size_t>(top) * source.pitch() + static_cast<std::size_t>(left) * 4;
        strides[0] = source.pitch();
    }
    std::uint8_t* destPlanes[4] = {image.scanLine(destRect.top) + static_cast<std::ptrdiff_t>(destRect.left) * 4};
    int destStrides[4] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(scaler, planes, strides, 0, height, destPlanes, destStrides);
}

} // namespace tachy::video
