#include "platform/video/SoftwareCompositor.h"

#include "platform/video/ColourMath.h"
#include "platform/video/VideoSurface.h"

extern "C" {
#include <libswscale/swscale.h>
}

#include <QPainter>

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

} // namespace

SoftwareCompositor::~SoftwareCompositor() {
    sws_freeContext(m_scaler);
}

QImage SoftwareCompositor::compose(const VideoFrame& frame) {
    QImage image(std::max(frame.client.width(), 1), std::max(frame.client.height(), 1), QImage::Format_RGB32);
    image.fill(Qt::black);
    for (const BlitCommand& blit : frame.blits) {
        drawBlit(image, blit);
    }
    return image;
}

void SoftwareCompositor::drawBlit(QImage& image, const BlitCommand& blit) {
    const VideoRect bounds{0, 0, image.width(), image.height()};
    const VideoRect target = blit.targetRect.intersected(bounds);
    if (!target.empty()) {
        const Rgb background = backgroundRgb(blit.background);
        QPainter painter(&image);
        painter.fillRect(target.left, target.top, target.width(), target.height(),
                         QColor(background.red, background.green, background.blue));
    }
    VideoRect dest = blit.destRect;
    VideoRect source = blit.sourceRect;
    if (blit.source == nullptr || dest.empty() || !clipProportionally(dest, source, bounds)) {
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
    m_scaler = sws_getCachedContext(m_scaler, width, height, yuv ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_BGR0,
                                    destRect.width(), destRect.height(), AV_PIX_FMT_BGR0, SWS_BILINEAR,
                                    nullptr, nullptr, nullptr);
    if (m_scaler == nullptr) {
        return;
    }
    if (yuv) {
        // Studio-range BT.709 in, full-range RGB out.
        const int* coefficients = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(m_scaler, coefficients, 0, coefficients, 1, 0, 1 << 16, 1 << 16);
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
    sws_scale(m_scaler, planes, strides, 0, height, destPlanes, destStrides);
}

} // namespace tachy::video
