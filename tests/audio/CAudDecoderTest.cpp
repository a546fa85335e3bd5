#include "audio/adpcmdec/CAudDecoder.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

std::vector<short> samples(const std::vector<unsigned char>& bytes) {
    std::vector<short> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

// Encodes a 440 Hz tone with FFmpeg's IMA ADPCM WAV encoder: the blocks and the tone.
std::vector<unsigned char> encodeTone(std::vector<short>& tone) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_ADPCM_IMA_WAV);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->sample_rate = 22050;
    av_channel_layout_default(&context->ch_layout, 1);
    context->sample_fmt = AV_SAMPLE_FMT_S16;
    av_opt_set_int(context->priv_data, "block_size", 512, 0);  // the recorder's block size
    EXPECT_EQ(avcodec_open2(context, codec, nullptr), 0);
    std::vector<unsigned char> blocks;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    for (int block = 0; block < 8; ++block) {
        frame->nb_samples = context->frame_size;
        frame->format = AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&frame->ch_layout, 1);
        av_frame_get_buffer(frame, 0);
        auto* data = reinterpret_cast<short*>(frame->data[0]);
        for (int i = 0; i < frame->nb_samples; ++i) {
            const auto n = static_cast<double>(tone.size());
            data[i] = static_cast<short>(8000 * std::sin(2 * M_PI * 440 * n / 22050));
            tone.push_back(data[i]);
        }
        EXPECT_EQ(avcodec_send_frame(context, frame), 0);
        while (avcodec_receive_packet(context, packet) == 0) {
            blocks.insert(blocks.end(), packet->data, packet->data + packet->size);
            av_packet_unref(packet);
        }
        av_frame_unref(frame);
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&context);
    return blocks;
}

} // namespace

TEST(CAudDecoder, MuLawTableEqualsFfmpegsDecoderForEveryByte) {
    std::vector<unsigned char> all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    }
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_PCM_MULAW);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->sample_rate = 8000;
    av_channel_layout_default(&context->ch_layout, 1);
    ASSERT_EQ(avcodec_open2(context, codec, nullptr), 0);
    AVPacket* packet = av_packet_alloc();
    av_new_packet(packet, 256);
    std::memcpy(packet->data, all.data(), 256);
    AVFrame* frame = av_frame_alloc();
    ASSERT_EQ(avcodec_send_packet(context, packet), 0);
    ASSERT_EQ(avcodec_receive_frame(context, frame), 0);
    ASSERT_EQ(frame->nb_samples, 256);
    const auto* reference = reinterpret_cast<const short*>(frame->data[0]);

    CAudDecoder decoder;
    std::vector<unsigned char> out(512);
    unsigned long length = 0;
    ASSERT_EQ(decoder.DecodeAudio(all.data(), 256, out.data(), &length), 1);
    EXPECT_EQ(length, 512U);
    const auto ours = samples(out);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(ours[static_cast<std::size_t>(i)], reference[i]) << "byte " << i;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
}

TEST(CAudDecoder, KnownValuesAndAnEmptyInput) {
    EXPECT_EQ(CAudDecoder::MuLawToLinear(0x00), -32124);
    EXPECT_EQ(CAudDecoder::MuLawToLinear(0x80), 32124);
    EXPECT_EQ(CAudDecoder::MuLawToLinear(0xFF), 0);
    EXPECT_EQ(CAudDecoder::MuLawToLinear(0x7F), 0);
    CAudDecoder decoder;
    unsigned char untouched = 0xAB;
    unsigned long length = 99;
    EXPECT_EQ(decoder.DecodeAudio(nullptr, 0, &untouched, &length), 1);
    EXPECT_EQ(length, 0U);
    EXPECT_EQ(untouched, 0xAB);
}

TEST(CAudDecoder, ChannelBlocks) {
    std::vector<unsigned char> block(2048);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = i < 1536 ? 0x00 : 0x80;  // the first three quarters differ from the last
    }
    CAudDecoder decoder;
    std::vector<unsigned char> out(4096, 0xEE);
    ASSERT_EQ(decoder.Decode4Ch(block.data(), out.data()), 1);
    const auto four = samples(std::vector<unsigned char>(out.begin(), out.begin() + 1024));
    for (const short sample : four) {
        EXPECT_EQ(sample, 32124);
    }
    EXPECT_EQ(out[1024], 0xEE);  // 512 samples and no more
    ASSERT_EQ(decoder.Decode2Ch(block.data(), out.data()), 1);
    const auto two = samples(out);
    EXPECT_EQ(two[0], -32124);
    EXPECT_EQ(two[2047], 32124);
}

TEST(CAudDecoder, AdpcmDecodesWhatFfmpegEncoded) {
    std::vector<short> tone;
    const auto blocks = encodeTone(tone);
    ASSERT_EQ(blocks.size(), 8U * 512U);
    CAudDecoder decoder;
    std::vector<unsigned char> out(blocks.size() * 4 + 64);
    unsigned long length = 0;
    ASSERT_EQ(decoder.DecodeADPCM(blocks.data(), blocks.size(), out.data(), &length), 1);
    ASSERT_EQ(length, tone.size() * 2);  // 1,017 samples per 512-byte block
    const auto decoded = samples(std::vector<unsigned char>(out.begin(), out.begin() + static_cast<long>(length)));
    double error = 0;
    for (std::size_t i = 0; i < tone.size(); ++i) {
        error += std::abs(decoded[i] - tone[i]);
    }
    EXPECT_LT(error / static_cast<double>(tone.size()), 200.0);  // lossy, but the same tone
}
