// Drawing: the logo or the fitted, zoomed picture, then the overview while zoomed in.
#include "display/CDxDisplay.h"

#include "display/OverviewCopy.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

using tachy::display::FitOptions;
using tachy::video::ProcAmpValues;
using tachy::video::SurfaceFormat;
using tachy::video::VideoRect;
using tachy::video::VideoSurface;

namespace {

// YV12 band colours of the overview frame: red in studio-range BT.709.
constexpr std::uint8_t kFrameY = 70;
constexpr std::uint8_t kFrameV = 236;
constexpr std::uint8_t kFrameU = 50;
constexpr int kFrameBand = 8;

// Outlines `rect` with bands `band` wide in one 8-bit plane.
void outlinePlane(std::uint8_t* plane, int pitch, const VideoRect& bounds, const VideoRect& rect, int band,
                  std::uint8_t value) {
    const auto fill = [&](VideoRect area) {
        area = area.intersected(bounds);
        for (int row = area.top; row < area.bottom; ++row) {
            std::memset(plane + static_cast<std::ptrdiff_t>(row) * pitch + area.left, value,
                        static_cast<std::size_t>(std::max(area.width(), 0)));
        }
    };
    fill({rect.left, rect.top, rect.right, rect.top + band});
    fill({rect.left, rect.bottom - band, rect.right, rect.bottom});
    fill({rect.left, rect.top, rect.left + band, rect.bottom});
    fill({rect.right - band, rect.top, rect.right, rect.bottom});
}

} // namespace

int CDxDisplay::Draw(const VideoRect& client, int logo) {
    if (m_resetFlag) {
        return 0;
    }
    if (!m_drawing) {
        return 1;
    }
    const std::lock_guard<std::mutex> guard(m_lock);
    if (!m_device || m_device->lost()) {
        m_resetFlag = true;
        return 0;
    }
    if (client.empty()) {
        return 1;
    }
    if (logo != 0 || !m_hasPicture) {
        DrawLogo(client);
    } else {
        DrawPicture(client);
    }
    if (!m_device->present(client)) {
        m_resetFlag = true;
        return 0;
    }
    return 1;
}

void CDxDisplay::DrawLogo(const VideoRect& client) {
    m_hasPicture = false;
    const int index = m_logoIndex;
    const VideoSurface* logo = index < 0 || index > 2 ? m_defaultLogo.get() : m_logos[static_cast<std::size_t>(index)].get();
    if (logo == nullptr) {
        // No logo to show: the background alone.
        m_device->processor().blt(*m_surfaces[0], {0, 0, 1, 1}, {}, client, kBackground, {});
        return;
    }
    VideoRect dest = client;
    if (m_logoOwnSize != 0) {
        // The logo's own size in the window's pixels: a double-size logo has twice as many.
        const QImage& bitmap = index < 0 || index > 2 ? m_defaultLogoBitmap : m_logoBitmaps[static_cast<std::size_t>(index)];
        const qreal ratio = std::max<qreal>(bitmap.devicePixelRatio(), 1.0);
        const int width = static_cast<int>(logo->width() / ratio);
        const int height = static_cast<int>(logo->height() / ratio);
        const int left = client.left + (client.width() - width) / 2;
        const int top = client.top + (client.height() - height) / 2;
        dest = {left, top, left + width, top + height};
    }
    m_device->processor().blt(*logo, {0, 0, logo->width(), logo->height()}, dest, client, kBackground, {});
}

void CDxDisplay::DrawPicture(const VideoRect& client) {
    const int width = static_cast<int>(m_pictureWidth.load());
    const int height = static_cast<int>(m_pictureHeight.load());
    FitOptions options;
    options.originalSize = m_originalSize != 0;
    options.aspectMode = m_aspectMode;
    options.keepRatio = m_keepRatio != 0;
    options.wideFlag = m_wideFlag;
    const VideoRect fitted = tachy::display::fitPicture(client, width, height, options);
    const VideoRect zoomed = tachy::display::applyZoom(client, fitted, m_zoom);
    const tachy::display::ClippedBlit blit = tachy::display::clipToClient(zoomed, client, width, height);
    m_device->processor().blt(*m_surfaces[0], blit.source, blit.dest, client, kBackground, CurrentProcAmp());
    // Zoomed beyond the window: the overview shows the whole picture and what is visible.
    if (m_overviewShown != 0 && !(blit.dest == zoomed) && m_surfaces[1]) {
        DrawOverview(client, blit.source);
    }
}

void CDxDisplay::DrawOverview(const VideoRect& client, const VideoRect& visibleSource) {
    const int width = static_cast<int>(m_pictureWidth.load());
    const int height = static_cast<int>(m_pictureHeight.load());
    m_overview = tachy::display::overviewRect(client, width, height, m_overviewCorner, m_overview);
    if (m_overview.empty()) {
        return;
    }
    RefreshOverview(visibleSource);
    m_device->processor().blt(*m_surfaces[1], {0, 0, width, height}, m_overview, m_overview, kBackground, {});
}

// The overview surface holds the current picture with the frame round `visibleSource`. The
// picture is copied once per picture; while it stands still and the view moves, only the strips
// under the old frame are copied back before the new frame is drawn. An unchanged overview is
// left alone, so a backend that keeps a copy of it has nothing to upload again.
void CDxDisplay::RefreshOverview(const VideoRect& visibleSource) {
    const VideoSurface& picture = *m_surfaces[0];
    VideoSurface& overview = *m_surfaces[1];
    const int width = static_cast<int>(m_pictureWidth.load());
    const int height = static_cast<int>(m_pictureHeight.load());
    const int band = overview.format() == SurfaceFormat::Rgb32 ? width / std::max(m_overview.width(), 1) + 1 : kFrameBand;
    OverviewContent wanted{picture.id(), picture.generation(), visibleSource, band, true};
    if (wanted == m_overviewContent) {
        return;
    }
    overview.lock();
    const bool samePicture = m_overviewContent.valid && m_overviewContent.pictureId == wanted.pictureId &&
                             m_overviewContent.pictureGeneration == wanted.pictureGeneration &&
                             m_overviewContent.band == wanted.band;
    if (samePicture) {
        // Strips a little wider than the bands: a square-capped pen reaches past its corners.
        for (const VideoRect& strip : tachy::display::outlineStrips(m_overviewContent.framed, m_overviewContent.band + 2)) {
            tachy::display::copyPictureArea(picture, overview, strip);
        }
    } else {
        tachy::display::copyPictureArea(picture, overview, {0, 0, width, height});
    }
    MarkOverview(visibleSource, band);
    overview.setContentSize(width, height);
    overview.unlock();
    m_overviewContent = wanted;
}

// The red frame round the picture and round its visible part, on the overview surface.
void CDxDisplay::MarkOverview(const VideoRect& visibleSource, int penWidth) {
    VideoSurface& overview = *m_surfaces[1];
    const int width = static_cast<int>(m_pictureWidth.load());
    const int height = static_cast<int>(m_pictureHeight.load());
    const VideoRect whole{0, 0, width, height};
    if (overview.format() == SurfaceFormat::Rgb32) {
        QImage image(overview.bits(), width, height, overview.pitch(), QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setPen(QPen(QColor(255, 0, 0), penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRect(0, 0, width - 1, height - 1));
        painter.drawRect(QRect(visibleSource.left, visibleSource.top, visibleSource.width() - 1,
                               visibleSource.height() - 1));
        return;
    }
    const VideoRect chromaWhole{0, 0, width / 2, height / 2};
    const VideoRect chromaVisible{visibleSource.left / 2, visibleSource.top / 2, visibleSource.right / 2,
                                  visibleSource.bottom / 2};
    for (const VideoRect& rect : {whole, visibleSource}) {
        outlinePlane(overview.bits(), overview.pitch(), whole, rect, kFrameBand, kFrameY);
    }
    for (const VideoRect& rect : {chromaWhole, chromaVisible}) {
        outlinePlane(overview.bits() + overview.vPlaneOffset(), overview.chromaPitch(), chromaWhole, rect,
                     kFrameBand / 2, kFrameV);
        outlinePlane(overview.bits() + overview.uPlaneOffset(), overview.chromaPitch(), chromaWhole, rect,
                     kFrameBand / 2, kFrameU);
    }
}
