#include "picturedec/CDxva2Decoder.h"

#include "picturedec/CodecId.h"
#include "picturedec/PictureConverter.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/hwcontext.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr AVHWDeviceType kDeviceType = AV_HWDEVICE_TYPE_VAAPI;

// Accepts the hardware format only; there is no fall-back to software decoding here.
AVPixelFormat negotiate(AVCodecContext* context, const AVPixelFormat* offered) {
    const int type = context->codec_id == AV_CODEC_ID_HEVC ? IVideoDecoder::kHevc : IVideoDecoder::kH264;
    for (const AVPixelFormat* format = offered; *format != AV_PIX_FMT_NONE; ++format) {
        if (*format == AV_PIX_FMT_VAAPI && CDxva2Decoder::ProfileAccepted(type, context->profile)) {
            return *format;
        }
    }
    return AV_PIX_FMT_NONE;
}

} // namespace

CDxva2Decoder::CDxva2Decoder() : IVideoDecoder(4) {}

CDxva2Decoder::~CDxva2Decoder() {
    CDxva2Decoder::ReleaseCodec();
}

bool CDxva2Decoder::IsSupported() {
    AVBufferRef* device = nullptr;
    if (av_hwdevice_ctx_create(&device, kDeviceType, nullptr, nullptr, 0) < 0) {
        return false;
    }
    av_buffer_unref(&device);
    return true;
}

bool CDxva2Decoder::ProfileAccepted(int codecType, int profile) {
    if (codecType == kHevc || profile == FF_PROFILE_UNKNOWN) {
        return true;
    }
    return (profile & ~FF_PROFILE_H264_CONSTRAINED) <= FF_PROFILE_H264_HIGH;
}

void CDxva2Decoder::ReleaseCodec() {
    av_packet_free(&m_packet);
    av_frame_free(&m_copy);
    av_frame_free(&m_decoded);
    avcodec_free_context(&m_context);
    av_buffer_unref(&m_device);
}

int CDxva2Decoder::InitCodec() {
    return IsSupported() ? InitCodec(kH264) : 0;
}

int CDxva2Decoder::InitCodec(int type) {
    ReleaseCodec();
    m_codecType = type;
    const AVCodec* codec = avcodec_find_decoder(picturedec::CodecId(type));
    bool hardware = false;
    for (int i = 0; codec != nullptr && !hardware; ++i) {
        const AVCodecHWConfig* config = avcodec_get_hw_config(codec, i);
        if (config == nullptr) {
            break;
        }
        hardware = (config->methods & AV_CODEC_HW_CONFIG_METHOD_HW_DEVICE_CTX) != 0 &&
                   config->device_type == kDeviceType;
    }
    if (!hardware || av_hwdevice_ctx_create(&m_device, kDeviceType, nullptr, nullptr, 0) < 0 ||
        (m_context = avcodec_alloc_context3(codec)) == nullptr) {
        ReleaseCodec();
        return 0;
    }
    m_context->hw_device_ctx = av_buffer_ref(m_device);
    m_context->get_format = negotiate;
    m_decoded = av_frame_alloc();
    m_copy = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (m_context->hw_device_ctx == nullptr || m_decoded == nullptr || m_copy == nullptr || m_packet == nullptr ||
        avcodec_open2(m_context, codec, nullptr) < 0) {
        ReleaseCodec();
        return 0;
    }
    return 1;
}

int CDxva2Decoder::ResetCodec(int) {
    ReleaseCodec();
    InitCodec();
    return 1;
}

bool CDxva2Decoder::ReceiveNv12(const unsigned char* packet, int size) {
    if (m_context == nullptr || packet == nullptr || size < 0 || av_new_packet(m_packet, size) < 0) {
        return false;
    }
    std::memcpy(m_packet->data, packet, static_cast<std::size_t>(size));
    const int sent = avcodec_send_packet(m_context, m_packet);
    av_packet_unref(m_packet);
    if (sent < 0 && sent != AVERROR(EAGAIN)) {
        return false;
    }
    if (avcodec_receive_frame(m_context, m_decoded) < 0) {
        return false;
    }
    // Copy the surface back to memory as NV12.
    av_frame_unref(m_copy);
    m_copy->format = AV_PIX_FMT_NV12;
    const bool copied = av_hwframe_transfer_data(m_copy, m_decoded, 0) >= 0 &&
                        av_frame_copy_props(m_copy, m_decoded) >= 0;
    m_copy->width = m_context->width;
    m_copy->height = m_context->height;
    av_frame_unref(m_decoded);
    return copied;
}

int CDxva2Decoder::Decode(unsigned long, const unsigned char* packet, int* width, int* height, int size,
                          unsigned char* picture, _AV_DATA* planes, int* format) {
    if (!ReceiveNv12(packet, size)) {
        return 0;
    }
    const int target = m_targetFormat.load(std::memory_order_relaxed);
    picturedec::PictureControls controls;
    controls.apply = m_colorControlMode.load(std::memory_order_relaxed) == 1;
    controls.bt709Target = target == kFormatYuv || target == kFormatYuvPlanar;
    controls.brightness = m_brightness.load(std::memory_order_relaxed);
    controls.contrast = m_contrast.load(std::memory_order_relaxed);
    controls.saturation = m_saturation.load(std::memory_order_relaxed);
    picturedec::ConvertedPicture converted;
    if (!picturedec::ConvertPicture(*m_copy, target, SWS_BILINEAR, 0, controls, picture, converted)) {
        return 0;
    }
    picturedec::Publish(converted, planes, width, height, format);
    return 1;
}

int CDxva2Decoder::Decode(unsigned long, const unsigned char* packet, int* width, int* height, int size,
                          unsigned char* picture) {
    if (!ReceiveNv12(packet, size)) {
        return 0;
    }
    picturedec::PictureControls controls;
    controls.apply = true;
    controls.brightness = m_brightness.load(std::memory_order_relaxed);
    controls.contrast = m_contrast.load(std::memory_order_relaxed);
    controls.saturation = m_saturation.load(std::memory_order_relaxed);
    picturedec::ConvertedPicture converted;
    const float blur = static_cast<float>(m_blur.load(std::memory_order_relaxed)) / 25.0F;
    if (!picturedec::ConvertPicture(*m_copy, kFormatBgra, SWS_BICUBIC, blur, controls, picture, converted)) {
        return 0;
    }
    picturedec::Publish(converted, nullptr, width, height, nullptr);
    return 1;
}

void CDxva2Decoder::SetBrightness(int value) { m_brightness = (value - 50) * 32767 / 50; }
void CDxva2Decoder::SetContrast(int value) { m_contrast = value * 32767 / 50 + 32768; }
void CDxva2Decoder::SetSaturation(int value) { m_saturation = value * 65535 / 50; }
