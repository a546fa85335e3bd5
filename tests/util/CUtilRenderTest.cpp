#include "util/CUtilRender.h"

#include "tests/support/TempFolder.h"

#include <QImage>
#include <gtest/gtest.h>
#include <vector>

using tachy::test::readAll;
using tachy::test::TempFolder;

namespace {

// A top-down BGRA picture whose pixel (x, y) is (x, y, x + y, 0xEE).
std::vector<std::uint8_t> gradient(int width, int height) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                         static_cast<std::uint8_t>(x + y), 0xEE});
        }
    }
    return pixels;
}

std::uint16_t le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    return le16(bytes, at) | (static_cast<std::uint32_t>(le16(bytes, at + 2)) << 16);
}

} // namespace

TEST(CUtilRender, Crc16IsTheCcittRemainderWithoutAugmentation) {
    const CUtilRender render;
    EXPECT_EQ(render.GetCRC16(nullptr, 0), 0);
    const auto crc = [&](const std::string& bytes) {
        return render.GetCRC16(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    };
    // No zero bytes are fed in after the data: one byte passes through unchanged ...
    EXPECT_EQ(crc(std::string("\x01", 1)), 0x0001);
    // ... and two zero bytes appended by the caller give the published CRC-16/XMODEM values.
    EXPECT_EQ(crc(std::string("\x01\0\0", 3)), 0x1021);
    EXPECT_EQ(crc(std::string("123456789\0\0", 11)), 0x31C3);
    EXPECT_NE(crc("123456789"), crc("123456788"));
}

TEST(CUtilRender, Rgb32ToRgb24DropsTheFourthByteAndFlipsRows) {
    const CUtilRender render;
    const auto source = gradient(3, 2);
    std::vector<std::uint8_t> out(3 * 3 * 2, 0xFF);
    render.Rgb32ToRgb24(out.data(), source.data(), 3, 2);
    // Source row 0 is the last destination row; no padding after 9 bytes.
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 9, out.end()),
              (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 1, 2, 0, 2}));
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 3),
              (std::vector<std::uint8_t>{0, 1, 1}));
}

TEST(CUtilRender, BitmapOfFourByTwoHasTheDocumentedLayout) {
    const TempFolder folder;
    const CUtilRender render;
    const auto source = gradient(4, 2);
    const auto path = folder.path() / "shot.bmp";
    ASSERT_EQ(render.Rgb32ToBitmap(path.string(), source.data(), 4, 2), 1);
    const std::string bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 58U + 24U);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(le32(bytes, 2), 82U);
    EXPECT_EQ(le16(bytes, 6),
              render.GetCRC16(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 58, 24));
    EXPECT_EQ(le16(bytes, 8), 0);
    EXPECT_EQ(le32(bytes, 10), 58U);
    EXPECT_EQ(le32(bytes, 14), 40U);
    EXPECT_EQ(le32(bytes, 18), 4U);
    EXPECT_EQ(le32(bytes, 22), 2U);
    EXPECT_EQ(le16(bytes, 26), 1);
    EXPECT_EQ(le16(bytes, 28), 24);
    EXPECT_EQ(le32(bytes, 34), 24U);
    EXPECT_EQ(le32(bytes, 54), 0U);
    // The first pixel of the source's first row lands at 58 + 12.
    EXPECT_EQ(bytes.substr(70, 3), std::string("\0\0\0", 3));
    EXPECT_EQ(bytes.substr(58, 3), std::string("\0\1\1", 3));
}

TEST(CUtilRender, BitmapWithOddWidthIsReadBackPixelForPixel) {
    const TempFolder folder;
    const CUtilRender render;
    const auto source = gradient(5, 3);
    const auto path = folder.path() / "odd.bmp";
    ASSERT_EQ(render.Rgb32ToBitmap(path.string(), source.data(), 5, 3), 1);
    EXPECT_EQ(readAll(path).size(), 58U + 16U * 3U);  // rows of 15 bytes padded to 16
    const QImage image(QString::fromStdString(path.string()));
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.size(), QSize(5, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(image.pixel(x, y), qRgb(x + y, y, x)) << x << "," << y;
        }
    }
}

TEST(CUtilRender, BitmapRefusesEmptyPicturesAndUnwritablePaths) {
    const CUtilRender render;
    const auto source = gradient(2, 2);
    EXPECT_EQ(render.Rgb32ToBitmap("/tmp/never.bmp", source.data(), 0, 2), 0);
    EXPECT_EQ(render.Rgb32ToBitmap("/tmp/never.bmp", nullptr, 2, 2), 0);
    EXPECT_EQ(render.Rgb32ToBitmap("/nonexistent/folder/x.bmp", source.data(), 2, 2), 0);
}

TEST(CUtilRender, YuvConversionsGiveTheExpectedColours) {
    const CUtilRender render;
    // 2x2 4:2:0: black-ish and white-ish luma over neutral chroma, then pure red chroma.
    const std::uint8_t luma[4] = {16, 235, 16, 235};
    const std::uint8_t neutral = 128;
    std::uint8_t out[12];
    render.Yv12ToRgb24(out, luma, &neutral, &neutral, 2, 2, 2, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 6), (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
    const std::uint8_t redY = 81;
    const std::uint8_t redU = 90;
    const std::uint8_t redV = 240;
    render.Yv12ToRgb24(out, &redY, &redU, &redV, 1, 1, 1, 1);
    EXPECT_LE(out[0], 2);
    EXPECT_LE(out[1], 2);
    EXPECT_GE(out[2], 253);
    // 4:2:2: Y0 U Y1 V.
    const std::uint8_t yuyv[4] = {16, 128, 235, 128};
    render.Yuv422ToRgb24(out, yuyv, 2, 1, 4);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 6), (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
}
