#include "picturedec/CFFMpegDecoder.h"
#include "picturedec/DecodedPicture.h"

#include "platform/debug/DebugOut.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/avi/CAviParser2.h"

#include <cstdio>
#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

// One generated clip (single channel, no sound) and its path.
std::string makeClip(const TempFolder& folder, mkcard::VideoEncoder::Codec codec, int width, int height,
                     double seconds) {
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = folder.path() / "card";
    options.codec = codec;
    options.width = width;
    options.height = height;
    options.seconds = seconds;
    options.audio = mkcard::CardOptions::Audio::None;
    std::string error;
    EXPECT_TRUE(mkcard::generateCard(options, error)) << error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(options.out)) {
        if (entry.path().extension() == ".avi") {
            return entry.path().string();
        }
    }
    return {};
}

std::string ffmpegRawVideo(const std::string& path, const char* pixelFormat) {
    return tachy::test::runCommand("ffmpeg -v error -threads 1 -i '" + path + "' -f rawvideo -pix_fmt " +
                                   pixelFormat + " -");
}

// Every frame of the clip through the decoder, concatenated as the decoder wrote them.
std::string decodeAll(const std::string& path, int codec, int format, int& pictures) {
    CAviParser2 parser;
    EXPECT_EQ(parser.OpenStream(path, 0), 1);
    EXPECT_EQ(parser.OpenVideoStream(0), 1);
    CFFMpegDecoder decoder(1);
    decoder.InitCodec(codec);
    decoder.SetTargetFormat(format);
    std::vector<unsigned char> picture(1920 * 1088 * 4);
    std::string all;
    tachy::avi::BitmapInfoHeader bih{};
    pictures = 0;
    parser.SetStreamPosVideo(0);
    while (parser.GetVideoHeader(&bih, nullptr, nullptr, nullptr) == 1) {
        int width = 0;
        int height = 0;
        int reported = 0;
        _AV_DATA planes{};
        if (decoder.Decode(0, parser.GetVideoStream(0), &width, &height, static_cast<int>(bih.biSizeImage),
                           picture.data(), &planes, &reported) == 1) {
            const std::size_t bytes = format == IVideoDecoder::kFormatBgra
                                          ? static_cast<std::size_t>(width) * height * 4
                                          : static_cast<std::size_t>(width) * height +
                                                2 * static_cast<std::size_t>((width + 1) / 2) * ((height + 1) / 2);
            all.append(reinterpret_cast<const char*>(picture.data()), bytes);
            EXPECT_EQ(planes.value[0], reinterpret_cast<std::intptr_t>(picture.data()));
            EXPECT_EQ(planes.value[8], format == IVideoDecoder::kFormatBgra ? 4 * width : width);
            EXPECT_EQ(reported, format == IVideoDecoder::kFormatBgra ? 4 : 6);
            ++pictures;
        }
    }
    return all;
}

// Every frame through DecodePicture, each plane's visible rows packed one after another.
std::string decodePictures(const std::string& path, int format, int controlMode, int& pictures) {
    CAviParser2 parser;
    EXPECT_EQ(parser.OpenStream(path, 0), 1);
    EXPECT_EQ(parser.OpenVideoStream(0), 1);
    CFFMpegDecoder decoder(1);
    decoder.InitCodec(IVideoDecoder::kH264);
    decoder.SetTargetFormat(format);
    decoder.SetColorControlMode(controlMode);
    decoder.SetBrightness(70);
    decoder.SetSaturation(20);
    std::string all;
    tachy::avi::BitmapInfoHeader bih{};
    pictures = 0;
    std::vector<std::unique_ptr<picturedec::DecodedPicture>> kept;  // held while more decode
    while (parser.GetVideoHeader(&bih, nullptr, nullptr, nullptr) == 1) {
        auto picture = decoder.DecodePicture(0, parser.GetVideoStream(0), static_cast<int>(bih.biSizeImage));
        if (!picture) {
            continue;
        }
        const bool bgra = picture->ReportedFormat() == IVideoDecoder::kFormatBgra;
        for (int plane = 0; plane < (bgra ? 1 : 3); ++plane) {
            const int width = bgra ? picture->Width() * 4 : plane == 0 ? picture->Width() : (picture->Width() + 1) / 2;
            const int height = plane == 0 ? picture->Height() : (picture->Height() + 1) / 2;
            for (int y = 0; y < height; ++y) {
                all.append(reinterpret_cast<const char*>(picture->Plane(plane) + y * picture->Stride(plane)),
                           static_cast<std::size_t>(width));
            }
        }
        kept.push_back(std::move(picture));
        ++pictures;
    }
    return all;
}

} // namespace

// The pictures handed on by reference (or converted into pooled buffers when colour controls
// apply) are the pictures the copying path writes, and each stays intact while later ones are
// decoded.
TEST(CFFMpegDecoder, PicturesByReferenceEqualTheCopiedOnes) {
    const TempFolder folder;
    const std::string path = makeClip(folder, mkcard::VideoEncoder::Codec::H264, 318, 178, 0.5);
    for (const int format : {IVideoDecoder::kFormatYuv, IVideoDecoder::kFormatBgra}) {
        for (const int controlMode : {0, 1}) {
            int copied = 0;
            int referenced = 0;
            CFFMpegDecoder reference(1);
            reference.SetColorControlMode(controlMode);
            reference.SetBrightness(70);
            reference.SetSaturation(20);
            const std::string byReference = decodePictures(path, format, controlMode, referenced);
            std::string byCopy;
            {
                CAviParser2 parser;
                ASSERT_EQ(parser.OpenStream(path, 0), 1);
                ASSERT_EQ(parser.OpenVideoStream(0), 1);
                reference.InitCodec(IVideoDecoder::kH264);
                reference.SetTargetFormat(format);
                std::vector<unsigned char> picture(318 * 178 * 4);
                tachy::avi::BitmapInfoHeader bih{};
                while (parser.GetVideoHeader(&bih, nullptr, nullptr, nullptr) == 1) {
                    int width = 0;
                    int height = 0;
                    int reported = 0;
                    _AV_DATA planes{};
                    if (reference.Decode(0, parser.GetVideoStream(0), &width, &height,
                                         static_cast<int>(bih.biSizeImage), picture.data(), &planes, &reported) == 1) {
                        const std::size_t bytes = format == IVideoDecoder::kFormatBgra ? 318U * 178 * 4
                                                                                       : 318U * 178 + 2U * 159 * 89;
                        byCopy.append(reinterpret_cast<const char*>(picture.data()), bytes);
                        ++copied;
                    }
                }
            }
            EXPECT_EQ(referenced, 15) << format << " " << controlMode;
            EXPECT_EQ(copied, referenced);
            EXPECT_TRUE(byReference == byCopy) << format << " " << controlMode;
        }
    }
}

TEST(CFFMpegDecoder, YuvPlanesEqualFfmpegsForH264AndHevc) {
    const TempFolder folder;
    const struct { mkcard::VideoEncoder::Codec codec; int type; int width; int height; } clips[] = {
        {mkcard::VideoEncoder::Codec::H264, IVideoDecoder::kH264, 318, 178},  // chroma 159 x 89
        {mkcard::VideoEncoder::Codec::Hevc, IVideoDecoder::kHevc, 198, 110},
    };
    for (const auto& clip : clips) {
        const TempFolder clipFolder;
        const std::string path = makeClip(clipFolder, clip.codec, clip.width, clip.height, 1.5);
        int pictures = 0;
        const std::string ours = decodeAll(path, clip.type, IVideoDecoder::kFormatYuv, pictures);
        EXPECT_EQ(pictures, 45);
        const std::string theirs = ffmpegRawVideo(path, "yuv420p");
        ASSERT_EQ(ours.size(), theirs.size()) << path;
        EXPECT_TRUE(ours == theirs) << path;
    }
}

TEST(CFFMpegDecoder, BgraTargetIsOpaqueAndFullSize) {
    const TempFolder folder;
    const std::string path = makeClip(folder, mkcard::VideoEncoder::Codec::H264, 64, 48, 0.2);
    int pictures = 0;
    const std::string ours = decodeAll(path, IVideoDecoder::kH264, IVideoDecoder::kFormatBgra, pictures);
    ASSERT_EQ(pictures, 6);
    ASSERT_EQ(ours.size(), 6U * 64 * 48 * 4);
    for (std::size_t i = 3; i < ours.size(); i += 4) {
        ASSERT_EQ(static_cast<unsigned char>(ours[i]), 255) << i;
    }
}

TEST(CFFMpegDecoder, PictureControlsMapToTheScalersRange) {
    CFFMpegDecoder decoder;
    EXPECT_EQ(decoder.Brightness(), 0);
    EXPECT_EQ(decoder.Contrast(), 65536);
    decoder.SetBrightness(50);
    decoder.SetContrast(50);
    decoder.SetSaturation(50);
    EXPECT_EQ(decoder.Brightness(), 0);
    EXPECT_EQ(decoder.Contrast(), 65535);
    EXPECT_EQ(decoder.Saturation(), 65535);
    decoder.SetBrightness(0);
    decoder.SetContrast(0);
    decoder.SetSaturation(100);
    EXPECT_EQ(decoder.Brightness(), -32767);
    EXPECT_EQ(decoder.Contrast(), 32768);
    EXPECT_EQ(decoder.Saturation(), 98302);
    decoder.SetBlur(3.9F, 0.0F);
    EXPECT_EQ(decoder.Blur(), 3);
}

TEST(CFFMpegDecoder, InstanceIndexOutOfRange) {
    CFFMpegDecoder decoder(1);
    decoder.InitCodec();
    const unsigned char packet[8] = {0, 0, 0, 1, 0x65, 0, 0, 0};
    unsigned char picture[16];
    EXPECT_EQ(decoder.Decode(1, packet, nullptr, nullptr, 8, picture, nullptr, nullptr), 0);
    EXPECT_EQ(decoder.DecodePacket(1, packet, nullptr, nullptr, 8, picture, nullptr, nullptr), -1);
    EXPECT_EQ(decoder.Decode(1, packet, nullptr, nullptr, 8, picture), 0);
    EXPECT_EQ(decoder.Decode(0, packet, nullptr, nullptr, 8, picture), 1);
    EXPECT_EQ(IVideoDecoder::Create(4, 1), nullptr);
    EXPECT_EQ(IVideoDecoder::Create(-1, 1), nullptr);
    EXPECT_EQ(IVideoDecoder::Create(2, 1)->InstanceCount(), 1);
}

TEST(CFFMpegDecoder, ParameterSetsAloneGiveNoPictureYet) {
    const TempFolder folder;
    const std::string path = makeClip(folder, mkcard::VideoEncoder::Codec::H264, 64, 48, 0.1);
    CAviParser2 parser;
    ASSERT_EQ(parser.OpenStream(path, 0), 1);
    ASSERT_EQ(parser.OpenVideoStream(0), 1);
    const auto& header = parser.CodecHeader();
    CFFMpegDecoder decoder(1);
    decoder.InitCodec(IVideoDecoder::kH264);
    decoder.SetTargetFormat(IVideoDecoder::kFormatYuv);
    std::vector<unsigned char> picture(64 * 48 * 2);
    EXPECT_EQ(decoder.Decode(0, header.data(), nullptr, nullptr, static_cast<int>(header.size()), picture.data(),
                             nullptr, nullptr),
              0);
}

TEST(CFFMpegDecoder, CodecCheckSwitchesByTheFilesVideoStream) {
    const TempFolder hevcFolder;
    const std::string hevc = makeClip(hevcFolder, mkcard::VideoEncoder::Codec::Hevc, 64, 64, 0.1);
    const TempFolder h264Folder;
    const std::string h264 = makeClip(h264Folder, mkcard::VideoEncoder::Codec::H264, 64, 64, 0.1);
    std::vector<std::string> lines;
    const auto previous = tachy::DebugOut::setSink([&](std::string_view line) { lines.emplace_back(line); });
    CFFMpegDecoder decoder(1);
    decoder.InitCodec();
    EXPECT_EQ(lines, (std::vector<std::string>{"Is CUDA available? - NO\n", "Codec = SW(B)\n"}));
    lines.clear();
    EXPECT_EQ(decoder.ResetCodec(h264), 1);  // already H.264: nothing happens
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(decoder.ResetCodec(hevc), 1);
    EXPECT_EQ(decoder.CodecType(), IVideoDecoder::kHevc);
    ASSERT_EQ(lines.size(), 2U);
    // No Quick Sync device decodes here: the software HEVC decoder takes over.
    EXPECT_TRUE(lines[1] == "Codec = SW(A)\n" || lines[1] == "Codec = Intel\n") << lines[1];
    EXPECT_TRUE(decoder.IsReady());
    EXPECT_EQ(decoder.ResetCodec(std::string("/nonexistent/clip.avi")), 0);
    EXPECT_EQ(decoder.CodecType(), IVideoDecoder::kHevc);
    tachy::DebugOut::setSink(previous);
}
