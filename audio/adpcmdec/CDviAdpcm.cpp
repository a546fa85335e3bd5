#include "audio/adpcmdec/CDviAdpcm.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

CDviAdpcm::CDviAdpcm() = default;

CDviAdpcm::~CDviAdpcm() {
    CDviAdpcm::Close();
}

int CDviAdpcm::Open() {
    Close();
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_ADPCM_IMA_WAV);
    if (codec == nullptr || (m_context = avcodec_alloc_context3(codec)) == nullptr) {
        Close();
        return 0;
    }
    m_context->sample_rate = kSampleRate;
    av_channel_layout_default(&m_context->ch_layout, 1);
    m_context->sample_fmt = AV_SAMPLE_FMT_S16;
    m_context->bits_per_coded_sample = 4;
    m_context->block_align = kBlockAlign;
    m_context->extradata = static_cast<std::uint8_t*>(av_mallocz(2 + AV_INPUT_BUFFER_PADDING_SIZE));
    m_context->extradata_size = m_context->extradata != nullptr ? 2 : 0;
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (m_context->extradata == nullptr || m_frame == nullptr || m_packet == nullptr ||
        avcodec_open2(m_context, codec, nullptr) < 0) {
        Close();
        return 0;
    }
    m_open = true;
    return 1;
}

void CDviAdpcm::Close() {
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    avcodec_free_context(&m_context);
    m_open = false;
}

int CDviAdpcm::Decode(const unsigned char* source, unsigned long length, unsigned char* destination,
                      unsigned long* outputLength) {
    if (!m_open || source == nullptr || destination == nullptr) {
        return 0;
    }
    unsigned long written = 0;
    for (unsigned long offset = 0; offset < length; offset += kBlockAlign) {
        const auto block = static_cast<int>(std::min<unsigned long>(kBlockAlign, length - offset));
        if (av_new_packet(m_packet, block) < 0) {
            return 0;
        }
        std::memcpy(m_packet->data, source + offset, static_cast<std::size_t>(block));
        const int sent = avcodec_send_packet(m_context, m_packet);
        av_packet_unref(m_packet);
        if (sent < 0) {
            continue;  // a damaged block: skip it, keep the rest
        }
        while (avcodec_receive_frame(m_context, m_frame) >= 0) {
            // Mono: the one plane holds the 16-bit samples.
            const auto bytes = static_cast<unsigned long>(m_frame->nb_samples) * 2;
            std::memcpy(destination + written, m_frame->data[0], bytes);
            written += bytes;
            av_frame_unref(m_frame);
        }
    }
    if (outputLength != nullptr) {
        *outputLength = written;
    }
    return 1;
}
