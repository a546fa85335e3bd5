#include "cli/PictureComposer.h"

#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace tachy::cli {

PictureComposer::PictureComposer(const ExportLayout& layout)
    : m_layout(layout), m_canvas(av_frame_alloc()) {
    m_scalers.resize(m_layout.Regions().size());
    if (m_canvas) {
        m_canvas->format = AV_PIX_FMT_YUV420P;
        m_canvas->width = m_layout.Width();
        m_canvas->height = m_layout.Height();
        if (av_frame_get_buffer(m_canvas.get(), 0) < 0) {
            m_canvas.reset();
        }
    }
}

bool PictureComposer::Begin() {
    if (av_frame_make_writable(m_canvas.get()) < 0) {
        return false;
    }
    FillBlack({0, 0, m_layout.Width(), m_layout.Height()});
    return true;
}

void PictureComposer::FillBlack(const Region& region) {
    for (int plane = 0; plane < 3; ++plane) {
        const int shift = plane == 0 ? 0 : 1;
        const int value = plane == 0 ? 16 : 128;
        for (int row = region.y >> shift; row < (region.y + region.height) >> shift; ++row) {
            std::memset(m_canvas->data[plane] + row * m_canvas->linesize[plane] +
                            (region.x >> shift),
                        value, static_cast<std::size_t>(region.width >> shift));
        }
    }
}

void PictureComposer::CopyPlanes(const AVFrame& picture, const Region& region) {
    for (int plane = 0; plane < 3; ++plane) {
        const int shift = plane == 0 ? 0 : 1;
        av_image_copy_plane(m_canvas->data[plane] +
                                (region.y >> shift) * m_canvas->linesize[plane] +
                                (region.x >> shift),
                            m_canvas->linesize[plane], picture.data[plane], picture.linesize[plane],
                            region.width >> shift, region.height >> shift);
    }
}

bool PictureComposer::Draw(int camera, const AVFrame* picture) {
    const auto index = static_cast<std::size_t>(camera);
    if (picture == nullptr || index >= m_scalers.size()) {
        return true;
    }
    const Region& region = m_layout.Regions()[index];
    if (picture->width == region.width && picture->height == region.height &&
        (picture->format == AV_PIX_FMT_YUV420P || picture->format == AV_PIX_FMT_YUVJ420P)) {
        CopyPlanes(*picture, region); // the camera's own size: no scaling needed
        return true;
    }
    SwsContext* scaler = sws_getCachedContext(
        m_scalers[index].release(), picture->width, picture->height,
        static_cast<AVPixelFormat>(picture->format), region.width, region.height,
        AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    m_scalers[index].reset(scaler);
    if (scaler == nullptr) {
        return false;
    }
    std::uint8_t* target[4] = {
        m_canvas->data[0] + region.y * m_canvas->linesize[0] + region.x,
        m_canvas->data[1] + region.y / 2 * m_canvas->linesize[1] + region.x / 2,
        m_canvas->data[2] + region.y / 2 * m_canvas->linesize[2] + region.x / 2, nullptr};
    const int strides[4] = {m_canvas->linesize[0], m_canvas->linesize[1], m_canvas->linesize[2], 0};
    return sws_scale(scaler, picture->data, picture->linesize, 0, picture->height, target,
                     strides) > 0;
}

} // namespace tachy::cli
