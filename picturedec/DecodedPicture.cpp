#include "picturedec/DecodedPicture.h"

extern "C" {
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
}

namespace picturedec {
namespace {

// Plane rows start on 32-byte boundaries, which the scaler's vector code prefers.
constexpr int kAlign = 32;

} // namespace

DecodedPicture::DecodedPicture(AVFrame* frame, int reportedFormat)
    : m_frame(frame), m_reportedFormat(reportedFormat) {}

DecodedPicture::~DecodedPicture() {
    av_frame_free(&m_frame);
}

std::unique_ptr<DecodedPicture> DecodedPicture::Adopt(AVFrame& frame, int reportedFormat) {
    AVFrame* own = av_frame_alloc();
    if (own == nullptr) {
        return nullptr;
    }
    av_frame_move_ref(own, &frame);
    return std::unique_ptr<DecodedPicture>(new DecodedPicture(own, reportedFormat));
}

int DecodedPicture::BufferSize(int width, int height, int pixelFormat) {
    return av_image_get_buffer_size(static_cast<AVPixelFormat>(pixelFormat), width, height, kAlign);
}

std::unique_ptr<DecodedPicture> DecodedPicture::FromPool(AVBufferPool& pool, int width, int height,
                                                         int pixelFormat, int reportedFormat) {
    AVFrame* frame = av_frame_alloc();
    if (frame == nullptr) {
        return nullptr;
    }
    std::unique_ptr<DecodedPicture> picture(new DecodedPicture(frame, reportedFormat));
    frame->buf[0] = av_buffer_pool_get(&pool);
    if (frame->buf[0] == nullptr ||
        frame->buf[0]->size < static_cast<std::size_t>(BufferSize(width, height, pixelFormat)) ||
        av_image_fill_arrays(frame->data, frame->linesize, frame->buf[0]->data,
                             static_cast<AVPixelFormat>(pixelFormat), width, height, kAlign) < 0) {
        return nullptr;
    }
    frame->width = width;
    frame->height = height;
    frame->format = pixelFormat;
    return picture;
}

unsigned char* DecodedPicture::Plane(int plane) const {
    return plane >= 0 && plane < 3 ? m_frame->data[plane] : nullptr;
}

int DecodedPicture::Stride(int plane) const {
    return plane >= 0 && plane < 3 ? m_frame->linesize[plane] : 0;
}

int DecodedPicture::Width() const {
    return m_frame->width;
}

int DecodedPicture::Height() const {
    return m_frame->height;
}

} // namespace picturedec
