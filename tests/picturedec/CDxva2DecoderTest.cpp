#include "picturedec/CDxva2Decoder.h"
#include "picturedec/PictureConverter.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace {

// An NV12 picture, as a hardware decoder hands it back: a white left half, a black right half.
AVFrame* edgePicture(int width, int height) {
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_NV12;
    frame->width = width;
    frame->height = height;
    av_frame_get_buffer(frame, 32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            frame->data[0][y * frame->linesize[0] + x] = x < width / 2 ? 235 : 16;
        }
    }
    for (int y = 0; y < height / 2; ++y) {
        for (int x = 0; x < width; ++x) {
            frame->data[1][y * frame->linesize[1] + x] = 128;
        }
    }
    return frame;
}

int edgeStep(const std::vector<unsigned char>& bgra, int width, int row) {
    const int middle = width / 2;
    const auto at = [&](int x) { return static_cast<int>(bgra[static_cast<std::size_t>((row * width + x) * 4 + 1)]); };
    return std::abs(at(middle - 1) - at(middle));
}

} // namespace

TEST(CDxva2Decoder, WithoutADeviceNothingInitialises) {
    auto decoder = IVideoDecoder::Create(3, 1);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->InstanceCount(), 4);
    if (CDxva2Decoder::IsSupported()) {
        GTEST_SKIP() << "this machine has a VAAPI device";
    }
    EXPECT_EQ(decoder->InitCodec(), 0);
    EXPECT_EQ(decoder->InitCodec(IVideoDecoder::kHevc), 0);
    const unsigned char packet[8] = {0, 0, 0, 1, 0x65, 0x88, 0x80, 0x40};
    std::vector<unsigned char> picture(64);
    EXPECT_EQ(decoder->Decode(0, packet, nullptr, nullptr, 8, picture.data(), nullptr, nullptr), 0);
    EXPECT_EQ(decoder->Decode(0, packet, nullptr, nullptr, 8, picture.data()), 0);
    EXPECT_EQ(decoder->ResetCodec(2), 1);
    EXPECT_EQ(decoder->DecodePacket(0, packet, nullptr, nullptr, 8, picture.data(), nullptr, nullptr), -1);
}

TEST(CDxva2Decoder, ProfilesAboveHighAreRefused) {
    EXPECT_TRUE(CDxva2Decoder::ProfileAccepted(IVideoDecoder::kH264, FF_PROFILE_H264_HIGH));
    EXPECT_TRUE(CDxva2Decoder::ProfileAccepted(IVideoDecoder::kH264, FF_PROFILE_H264_CONSTRAINED_BASELINE));
    EXPECT_FALSE(CDxva2Decoder::ProfileAccepted(IVideoDecoder::kH264, FF_PROFILE_H264_HIGH_10));
    EXPECT_FALSE(CDxva2Decoder::ProfileAccepted(IVideoDecoder::kH264, FF_PROFILE_H264_HIGH_10_INTRA));
    EXPECT_TRUE(CDxva2Decoder::ProfileAccepted(IVideoDecoder::kHevc, FF_PROFILE_HEVC_MAIN_10));
}

TEST(CDxva2Decoder, SaturationHasNoOffset) {
    CDxva2Decoder decoder;
    decoder.SetSaturation(50);
    EXPECT_EQ(decoder.Saturation(), 65535);
    decoder.SetSaturation(0);
    EXPECT_EQ(decoder.Saturation(), 0);
    decoder.SetContrast(50);
    EXPECT_EQ(decoder.Contrast(), 65535);
}

TEST(PictureConverter, Nv12ToBothTargetsAndTheBlurForm) {
    constexpr int kWidth = 64;
    constexpr int kHeight = 32;
    AVFrame* frame = edgePicture(kWidth, kHeight);
    std::vector<unsigned char> sharp(kWidth * kHeight * 4);
    std::vector<unsigned char> soft(kWidth * kHeight * 4);
    picturedec::ConvertedPicture out;
    const picturedec::PictureControls neutral;
    ASSERT_TRUE(picturedec::ConvertPicture(*frame, IVideoDecoder::kFormatBgra, SWS_BICUBIC, 0, neutral,
                                           sharp.data(), out));
    EXPECT_EQ(out.reportedFormat, 4);
    EXPECT_EQ(out.planes.value[8], kWidth * 4);
    EXPECT_GE(sharp[1], 250);  // white on the left
    EXPECT_LE(sharp[(kWidth - 1) * 4 + 1], 5);
    EXPECT_EQ(sharp[3], 255);
    ASSERT_TRUE(picturedec::ConvertPicture(*frame, IVideoDecoder::kFormatBgra, SWS_BICUBIC, 2.0F, neutral,
                                           soft.data(), out));
    EXPECT_LT(edgeStep(soft, kWidth, 10), edgeStep(sharp, kWidth, 10) / 2);  // the edge is softened

    std::vector<unsigned char> yuv(kWidth * kHeight * 3 / 2);
    ASSERT_TRUE(picturedec::ConvertPicture(*frame, 7, SWS_BILINEAR, 0, neutral, yuv.data(), out));
    EXPECT_EQ(out.reportedFormat, 6);
    EXPECT_EQ(out.planes.value[1] - out.planes.value[0], kWidth * kHeight);
    EXPECT_EQ(yuv[0], 235);
    EXPECT_EQ(yuv[kWidth * kHeight], 128);
    EXPECT_FALSE(picturedec::ConvertPicture(*frame, 9, SWS_BILINEAR, 0, neutral, yuv.data(), out));
    av_frame_free(&frame);
}
