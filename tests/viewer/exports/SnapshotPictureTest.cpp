#include "viewer/exports/SnapshotPicture.h"
#include "viewer/exports/SnapshotPictureSet.h"

#include "tests/viewer/exports/SnapshotFakeEngine.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

using viewer::exports::SnapshotPicture;
using viewer::exports::SnapshotPictureSet;

struct YuvCase {
    int y, u, v;
    int r, g, b;
};

// Worked by hand from R = Y + 1.370705 (V-128), G = Y - 0.698001 (V-128) - 0.337633 (U-128),
// B = Y + 1.732446 (U-128), truncated and held to 0..255. No video library was asked: a
// library's BT.601 conversion expands the limited range and rounds, and would give other values.
constexpr std::array<YuvCase, 10> kCases{{
    {100, 128, 128, 100, 100, 100}, // grey: no colour difference
    {81, 90, 240, 234, 15, 15},     // 81 + 153.519 | 81 - 78.176 + 12.830 | 81 - 65.833
    {41, 240, 110, 16, 15, 235},    // 41 - 24.673 | 41 + 12.564 - 37.815 | 41 + 194.034
    {145, 54, 34, 16, 235, 16},     // 145 - 128.846 | 145 + 65.612 + 24.985 | 145 - 128.201
    {16, 128, 130, 18, 14, 16},     // 18.741 and 14.604 truncate, they do not round up
    {250, 250, 250, 255, 123, 255}, // 417.2 and 461.4 held at 255
    {10, 10, 10, 0, 132, 0},        // -151.7 and -194.4 held at 0
    {0, 128, 129, 1, 0, 0},         // G = -0.698 held at 0
    {235, 128, 128, 235, 235, 235},
    {170, 166, 16, 16, 235, 235},
}};

TEST(SnapshotPicture, YuvPixelsMatchTheWorkedValues) {
    for (const YuvCase& c : kCases) {
        const QRgb pixel = SnapshotPicture::YuvToRgb(c.y, c.u, c.v);
        EXPECT_EQ(qRed(pixel), c.r) << c.y << ' ' << c.u << ' ' << c.v;
        EXPECT_EQ(qGreen(pixel), c.g) << c.y << ' ' << c.u << ' ' << c.v;
        EXPECT_EQ(qBlue(pixel), c.b) << c.y << ' ' << c.u << ' ' << c.v;
        EXPECT_EQ(qAlpha(pixel), 255);
    }
}

// A 4 x 4 picture: each 2 x 2 block has its own chroma sample, rows are padded.
TEST(SnapshotPicture, YuvPictureTakesOneChromaSamplePerTwoByTwoBlock) {
    constexpr int kWidth = 4;
    constexpr int kHeight = 4;
    constexpr int kLumaStride = 7;
    constexpr int kChromaStride = 5;
    std::vector<std::uint8_t> luma(kLumaStride * kHeight, 0xFF);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            luma[y * kLumaStride + x] = static_cast<std::uint8_t>(100 + y * 10 + x);
        }
    }
    // U and V of the blocks: top left grey, top right red, bottom left blue, bottom right green.
    std::vector<std::uint8_t> blue(kChromaStride * 2, 0xFF);
    std::vector<std::uint8_t> red(kChromaStride * 2, 0xFF);
    const int blocks[2][2][2] = {{{128, 128}, {90, 240}}, {{240, 110}, {54, 34}}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            blue[row * kChromaStride + column] = static_cast<std::uint8_t>(blocks[row][column][0]);
            red[row * kChromaStride + column] = static_cast<std::uint8_t>(blocks[row][column][1]);
        }
    }
    const QImage image =
        SnapshotPicture::FromYuv420(luma.data(), kLumaStride, blue.data(), kChromaStride,
                                    red.data(), kChromaStride, kWidth, kHeight);
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int* block = blocks[y / 2][x / 2];
            const QRgb expected = SnapshotPicture::YuvToRgb(100 + y * 10 + x, block[0], block[1]);
            EXPECT_EQ(image.pixel(x, y), expected) << x << ',' << y;
        }
    }
    // Spot checks against the worked values: (1,1) is Y 111 on grey, (3,3) Y 133 on green.
    EXPECT_EQ(image.pixel(1, 1), qRgb(111, 111, 111));
    EXPECT_EQ(image.pixel(3, 3), qRgb(4, 223, 4));
    EXPECT_EQ(image.pixel(2, 0), qRgb(255, 36, 36)); // Y 102 with U 90, V 240
}

TEST(SnapshotPicture, BgraRowsAreCopiedWithTheirStrideAndMadeOpaque) {
    tachy::test::SnapshotFakeEngine engine;
    engine.ShowBgra(0, 6, 3, 0x00123456);
    const QImage image = SnapshotPicture::FromEngine(engine, 0);
    ASSERT_EQ(image.size(), QSize(6, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(image.pixel(x, y), qRgb(0x12, 0x34, 0x56)) << x << ',' << y;
        }
    }
}

TEST(SnapshotPicture, EngineYuvPictureIsConverted) {
    tachy::test::SnapshotFakeEngine engine;
    engine.ShowYuv(1, 10, 6, 81, 90, 240);
    const QImage image = SnapshotPicture::FromEngine(engine, 1);
    ASSERT_EQ(image.size(), QSize(10, 6));
    EXPECT_EQ(image.pixel(0, 0), qRgb(234, 15, 15));
    EXPECT_EQ(image.pixel(9, 5), qRgb(234, 15, 15));
}

TEST(SnapshotPicture, OtherFormatsAndMissingPlanesGiveNoPicture) {
    _AV_DATA planes{};
    EXPECT_TRUE(SnapshotPicture::FromPlanes(4, 4, 6, planes).isNull());
    EXPECT_TRUE(SnapshotPicture::FromPlanes(4, 4, 4, planes).isNull());
    std::vector<std::uint8_t> pixels(64, 0);
    planes.value[0] = reinterpret_cast<std::intptr_t>(pixels.data());
    EXPECT_TRUE(SnapshotPicture::FromPlanes(4, 4, 5, planes).isNull());
    EXPECT_TRUE(SnapshotPicture::FromPlanes(0, 4, 4, planes).isNull());
    EXPECT_FALSE(SnapshotPicture::FromPlanes(4, 4, 4, planes).isNull());
}

TEST(SnapshotPictureSet, ChannelCountIsTheHighestChannelWithAPicturePlusOne) {
    tachy::test::SnapshotFakeEngine engine;
    EXPECT_EQ(SnapshotPictureSet::FromEngine(engine).ChannelCount(), 0);
    engine.ShowYuv(0, 8, 8, 100, 128, 128);
    EXPECT_EQ(SnapshotPictureSet::FromEngine(engine).ChannelCount(), 1);
    engine.ShowBgra(2, 8, 8, 0);
    const SnapshotPictureSet set = SnapshotPictureSet::FromEngine(engine);
    EXPECT_EQ(set.ChannelCount(), 3);
    EXPECT_FALSE(set.HasPicture(1));
    engine.Clear(0);
    EXPECT_EQ(SnapshotPictureSet::FromEngine(engine).ChannelCount(), 3);
    engine.Clear(2);
    EXPECT_EQ(SnapshotPictureSet::FromEngine(engine).ChannelCount(), 0);
}

} // namespace
