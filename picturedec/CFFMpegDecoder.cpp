#include "picturedec/CFFMpegDecoder.h"

#include "picturedec/CodecId.h"
#include "picturedec/DecodedPicture.h"
#include "picturedec/PictureConverter.h"
#include "picturedec/ProbeFrame.h"
#include "platform/debug/DebugOut.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

CFFMpegDecoder::CFFMpegDecoder(int instances)
    : IVideoDecoder(std::clamp(instances, 1, kMaxInstances)) {
    m_contrast = 65536;
    m_saturation = 65536;
}

CFFMpegDecoder::~CFFMpegDecoder() {
    CFFMpegDecoder::ReleaseCodec();
    av_packet_free(&m_packet);
    av_buffer_unref(&m_packetBuffer);
}

void CFFMpegDecoder::ReleaseCodec() {
    for (Slot& slot : m_slots) {
        av_frame_free(&slot.decoded);
        av_frame_free(&slot.output);
        avcodec_free_context(&slot.context);
        slot.codec = nullptr;
        slot.scaler.reset();
        av_buffer_pool_uninit(&slot.pool);  // buffers still in pictures are freed with them
        slot.poolBytes = 0;
    }
}

int CFFMpegDecoder::InitCodec(int type) {
    m_codecType = type;
    ReleaseCodec();
    Initialise();
    return 1;
}

int CFFMpegDecoder::InitCodec() {
    return InitCodec(kH264);
}

bool CFFMpegDecoder::Initialise() {
    tachy::DebugOut::printf("Is CUDA available? - %s\n", "NO");
    bool ready = false;
    if (m_codecType == kHevc) {
        if (IntelPath()) {
            tachy::DebugOut::write("Codec = Intel\n");
            ready = true;
        } else {
            ReleaseCodec();
            if (!SoftwarePath()) {
                ReleaseCodec();
                return false;
            }
            tachy::DebugOut::write("Codec = SW(A)\n");
            ready = true;
        }
    } else {
        ready = SoftwarePath();
        tachy::DebugOut::write("Codec = SW(B)\n");
    }
    if (!ready) {
        ReleaseCodec();
        return false;
    }
    for (int i = 0; i < m_instances; ++i) {
        Slot& slot = m_slots[static_cast<std::size_t>(i)];
        slot.decoded = av_frame_alloc();
        slot.output = av_frame_alloc();
        if (slot.decoded == nullptr || slot.output == nullptr) {
            ReleaseCodec();
            return false;
        }
    }
    if (m_packet == nullptr) {
        m_packet = av_packet_alloc();
    }
    return m_packet != nullptr;
}

bool CFFMpegDecoder::SoftwarePath() {
    for (int i = 0; i < m_instances; ++i) {
        Slot& slot = m_slots[static_cast<std::size_t>(i)];
        slot.codec = avcodec_find_decoder(picturedec::CodecId(m_codecType));
        if (slot.codec == nullptr || (slot.context = avcodec_alloc_context3(slot.codec)) == nullptr) {
            return false;
        }
        if (avcodec_open2(slot.context, slot.codec, nullptr) < 0) {
            avcodec_free_context(&slot.context);
            slot.codec = nullptr;
            return false;
        }
    }
    return true;
}

bool CFFMpegDecoder::IntelPath() {
    // The QSV decoder of the codec, found through FFmpeg's registered hardware decoders.
    const AVCodec* qsv = nullptr;
    void* iterator = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&iterator)) {
        if (av_codec_is_decoder(codec) != 0 && codec->id == picturedec::CodecId(m_codecType) &&
            std::strstr(codec->name, "_qsv") != nullptr) {
            qsv = codec;
            break;
        }
    }
    if (qsv == nullptr || m_packet == nullptr) {
        if (m_packet == nullptr) {
            m_packet = av_packet_alloc();
        }
        if (qsv == nullptr || m_packet == nullptr) {
            return false;
        }
    }
    for (int i = 0; i < m_instances; ++i) {
        Slot& slot = m_slots[static_cast<std::size_t>(i)];
        slot.codec = qsv;
        slot.context = avcodec_alloc_context3(qsv);
        if (slot.context == nullptr || avcodec_open2(slot.context, qsv, nullptr) < 0) {
            avcodec_free_context(&slot.context);
            return false;
        }
        // The probe frame lies in the recorder's chunk layout: tag, length, payload.
        std::uint32_t length = 0;
        std::memcpy(&length, picturedec::kProbeFrame + 4, 4);
        length = std::min<std::uint32_t>(length, static_cast<std::uint32_t>(picturedec::kProbeFrameSize - 8));
        const int sent = Send(slot, picturedec::kProbeFrame + 8, static_cast<int>(length));
        avcodec_free_context(&slot.context);
        if (sent < 0) {
            return false;
        }
        slot.context = avcodec_alloc_context3(qsv);
        if (slot.context == nullptr || avcodec_open2(slot.context, qsv, nullptr) < 0) {
            avcodec_free_context(&slot.context);
            return false;
        }
    }
    return true;
}

// Sends a copy of the packet: libavcodec needs zeroed padding after the data, which the
// caller's buffer does not promise. The copy's buffer is kept for the next packet.
int CFFMpegDecoder::Send(Slot& slot, const unsigned char* packet, int size) {
    if (m_packet == nullptr || packet == nullptr || size < 0) {
        return AVERROR(ENOMEM);
    }
    const std::size_t needed = static_cast<std::size_t>(size) + AV_INPUT_BUFFER_PADDING_SIZE;
    if (m_packetBuffer == nullptr || av_buffer_is_writable(m_packetBuffer) == 0 || m_packetBuffer->size < needed) {
        av_buffer_unref(&m_packetBuffer);
        m_packetBuffer = av_buffer_alloc(std::max<std::size_t>(needed, 256 << 10));
        if (m_packetBuffer == nullptr) {
            return AVERROR(ENOMEM);
        }
    }
    std::memcpy(m_packetBuffer->data, packet, static_cast<std::size_t>(size));
    std::memset(m_packetBuffer->data + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
    m_packet->buf = av_buffer_ref(m_packetBuffer);
    if (m_packet->buf == nullptr) {
        return AVERROR(ENOMEM);
    }
    m_packet->data = m_packetBuffer->data;
    m_packet->size = size;
    const int result = avcodec_send_packet(slot.context, m_packet);
    av_packet_unref(m_packet);
    return result;
}

std::unique_ptr<picturedec::DecodedPicture> CFFMpegDecoder::DecodePicture(unsigned long index,
                                                                          const unsigned char* packet, int size) {
    if (index >= static_cast<unsigned long>(m_instances)) {
        return nullptr;
    }
    Slot& slot = m_slots[index];
    if (slot.context == nullptr || slot.decoded == nullptr) {
        return nullptr;
    }
    const int sent = Send(slot, packet, size);
    if (sent == AVERROR(ENOMEM) || sent == AVERROR(EINVAL) || avcodec_receive_frame(slot.context, slot.decoded) < 0) {
        return nullptr;
    }
    const int target = m_targetFormat.load(std::memory_order_relaxed);
    std::unique_ptr<picturedec::DecodedPicture> picture;
    const bool controls = m_colorControlMode.load(std::memory_order_relaxed) == 1;
    if (target != kFormatBgra && slot.decoded->format == AV_PIX_FMT_YUV420P && !controls) {
        // Already in the display's planar form and no colour controls to apply: the scaler
        // would only copy it, so the decoder's own frame is handed on.
        picture = picturedec::DecodedPicture::Adopt(*slot.decoded, kFormatYuvPlanar);
    } else {
        picture = Converted(slot, target);
    }
    av_frame_unref(slot.decoded);
    return picture;
}

// The decoded frame converted to the target format in a pooled buffer.
std::unique_ptr<picturedec::DecodedPicture> CFFMpegDecoder::Converted(Slot& slot, int target) {
    const int format = picturedec::PictureScaler::DestinationFormat(target);
    const AVFrame& source = *slot.decoded;
    if (format < 0 || source.width <= 0 || source.height <= 0) {
        return nullptr;
    }
    const int bytes = picturedec::DecodedPicture::BufferSize(source.width, source.height, format);
    if (bytes <= 0) {
        return nullptr;
    }
    if (slot.pool == nullptr || slot.poolBytes != bytes) {
        av_buffer_pool_uninit(&slot.pool);
        slot.pool = av_buffer_pool_init(static_cast<std::size_t>(bytes), nullptr);
        slot.poolBytes = slot.pool != nullptr ? bytes : 0;
    }
    if (slot.pool == nullptr) {
        return nullptr;
    }
    if (!slot.scaler) {
        slot.scaler = std::make_unique<picturedec::PictureScaler>();
    }
    auto picture = picturedec::DecodedPicture::FromPool(*slot.pool, source.width, source.height, format,
                                                        target == kFormatBgra ? kFormatBgra : kFormatYuvPlanar);
    picturedec::PictureControls controls;
    controls.apply = m_colorControlMode.load(std::memory_order_relaxed) == 1;
    controls.bt709Target = true;
    controls.brightness = m_brightness.load(std::memory_order_relaxed);
    controls.contrast = m_contrast.load(std::memory_order_relaxed);
    controls.saturation = m_saturation.load(std::memory_order_relaxed);
    if (!picture || !slot.scaler->Convert(source, target, SWS_BICUBIC, controls, picture->Frame())) {
        return nullptr;
    }
    return picture;
}

int CFFMpegDecoder::Decode(unsigned long index, const unsigned char* packet, int* width, int* height, int size,
                           unsigned char* picture, _AV_DATA* planes, int* format) {
    if (index >= static_cast<unsigned long>(m_instances)) {
        return 0;
    }
    Slot& slot = m_slots[index];
    if (slot.context == nullptr || slot.decoded == nullptr || picture == nullptr) {
        return 0;
    }
    const int sent = Send(slot, packet, size);
    if (sent == AVERROR(ENOMEM) || sent == AVERROR(EINVAL)) {
        return 0;
    }
    if (avcodec_receive_frame(slot.context, slot.decoded) < 0) {
        return 0;
    }
    // The picture size is the context's; a change of size or format needs no reset because
    // the scaler is made anew for every picture.
    slot.decoded->width = slot.context->width;
    slot.decoded->height = slot.context->height;
    picturedec::PictureControls controls;
    controls.apply = m_colorControlMode.load(std::memory_order_relaxed) == 1;
    controls.bt709Target = true;
    controls.brightness = m_brightness.load(std::memory_order_relaxed);
    controls.contrast = m_contrast.load(std::memory_order_relaxed);
    controls.saturation = m_saturation.load(std::memory_order_relaxed);
    picturedec::ConvertedPicture converted;
    const int target = m_targetFormat.load(std::memory_order_relaxed);
    const bool ok = (target == kFormatBgra || target == kFormatYuv || target == kFormatYuvPlanar) &&
                    picturedec::ConvertPicture(*slot.decoded, target, SWS_BICUBIC, 0, controls, picture, converted);
    av_frame_unref(slot.decoded);
    if (!ok) {
        return 0;
    }
    picturedec::Publish(converted, planes, width, height, format);
    return 1;
}

int CFFMpegDecoder::Decode(unsigned long index, const unsigned char*, int*, int*, int, unsigned char*) {
    return index < static_cast<unsigned long>(m_instances) ? 1 : 0;
}

int CFFMpegDecoder::DecodePacket(unsigned long index, const unsigned char* packet, int*, int*, int size,
                                 unsigned char*, _AV_DATA*, int*) {
    if (index >= static_cast<unsigned long>(m_instances)) {
        return -1;
    }
    Slot& slot = m_slots[index];
    if (slot.context == nullptr) {
        return AVERROR(EINVAL);
    }
    return Send(slot, packet, size);
}

int CFFMpegDecoder::ResetCodec(const std::string& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
        return 0;
    }
    av_format_inject_global_side_data(raw);
    int result = 0;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        const AVCodecParameters* codec = raw->streams[i]->codecpar;
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
            result = ResetCodec(codec->codec_id == AV_CODEC_ID_HEVC ? kHevc : kH264);
            break;
        }
    }
    avformat_close_input(&raw);
    return result;
}

int CFFMpegDecoder::ResetCodec(int type) {
    if (type != m_codecType) {
        m_codecType = type;
        ReleaseCodec();
        Initialise();
    }
    return 1;
}

void CFFMpegDecoder::SetBrightness(int value) { m_brightness = (value - 50) * 32767 / 50; }
void CFFMpegDecoder::SetContrast(int value) { m_contrast = value * 32767 / 50 + 32768; }
void CFFMpegDecoder::SetSaturation(int value) { m_saturation = value * 32767 / 50 + 32768; }
void CFFMpegDecoder::SetSharpeness(int value) { m_sharpness = value; }
void CFFMpegDecoder::SetBlur(int value) { m_blur = value; }
void CFFMpegDecoder::SetBlur(float value, float) { m_blur = static_cast<int>(value); }
void CFFMpegDecoder::SetSharpeness(float value, float) { m_sharpness = static_cast<int>(value); }
