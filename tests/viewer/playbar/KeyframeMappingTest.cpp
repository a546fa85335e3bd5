#include "viewer/playbar/KeyframeMapping.h"

#include <gtest/gtest.h>

using viewer::playbar::KeyframeMapping;

TEST(KeyframeMapping, EvenSpacingMapsPositionsToTheirKeyframeAndCapsAtTheLast) {
    KeyframeMapping mapping;
    mapping.SetFile(1800, 30);
    EXPECT_EQ(mapping.FramesPerKeyframe(), 60);
    EXPECT_EQ(mapping.KeyframeAt(0), 0);
    EXPECT_EQ(mapping.KeyframeAt(59), 0);
    EXPECT_EQ(mapping.KeyframeAt(60), 1);
    EXPECT_EQ(mapping.KeyframeAt(1799), 29);
    EXPECT_EQ(mapping.KeyframeAt(1800), 29);
}

TEST(KeyframeMapping, UnevenSpacingRoundsUpFromHundredths) {
    // 1805 / 30 = 60.16: 61 frames per key frame, so the last positions stay in range.
    EXPECT_EQ(KeyframeMapping::FramesPerKeyframe(1805, 30), 61);
    // 1801 * 100 / 30 = 6003 hundredths: still rounded up.
    EXPECT_EQ(KeyframeMapping::FramesPerKeyframe(1801, 30), 61);
    // Fewer frames than key frames: one frame each, never zero.
    EXPECT_EQ(KeyframeMapping::FramesPerKeyframe(10, 30), 1);
}

TEST(KeyframeMapping, AFileWithoutKeyframesOrFramesSeeksTheStart) {
    KeyframeMapping mapping;
    mapping.SetFile(1800, 0);
    EXPECT_EQ(mapping.KeyframeAt(900), 0);
    mapping.SetFile(0, 30);
    EXPECT_EQ(mapping.FramesPerKeyframe(), 1);
    EXPECT_EQ(mapping.KeyframeAt(10), 10);
    EXPECT_EQ(mapping.KeyframeAt(-5), 0);
}

TEST(KeyframeMapping, LongFilesDoNotOverflowTheHundredths) {
    // Some thirty hours at 30 fps: frames * 100 does not fit in 32 bits.
    EXPECT_EQ(KeyframeMapping::FramesPerKeyframe(30'000'000, 1'000'000), 30);
}
