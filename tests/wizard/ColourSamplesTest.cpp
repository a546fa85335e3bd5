// The colour samples: slots by counter, the colour-mode rule and the comparison with the test
// picture's colour; the test picture itself.

#include "wizard/ColourSamples.h"
#include "platform/video/ColourMath.h"
#include "wizard/TestPicture.h"

#include <gtest/gtest.h>

TEST(ColourSamples, SamplesGoToTheirSlotsByCounter) {
    EXPECT_EQ(ColourSamples::SlotFor(5), 0);
    EXPECT_EQ(ColourSamples::SlotFor(19), 0);
    EXPECT_EQ(ColourSamples::SlotFor(20), 1);
    EXPECT_EQ(ColourSamples::SlotFor(50), 1);
    EXPECT_EQ(ColourSamples::SlotFor(69), 1);
    EXPECT_EQ(ColourSamples::SlotFor(70), 2);
    EXPECT_EQ(ColourSamples::SlotFor(95), 2);
    ColourSamples samples;
    samples.Put(5, qRgb(1, 2, 3));
    samples.Put(50, qRgb(4, 5, 6));
    samples.Put(95, qRgb(7, 8, 9));
    EXPECT_EQ(samples.Sample(0), qRgb(1, 2, 3));
    EXPECT_EQ(samples.Sample(1), qRgb(4, 5, 6));
    EXPECT_EQ(samples.Sample(2), qRgb(7, 8, 9));
}

TEST(ColourSamples, ThreeEqualSamplesGiveModeOneAndAnyDifferenceZero) {
    ColourSamples equal;
    for (const int counter : {5, 50, 95}) {
        equal.Put(counter, qRgb(250, 20, 0));
    }
    EXPECT_EQ(equal.ColorMode(), 1);
    // The alpha byte is not part of the colour.
    ColourSamples alpha = equal;
    alpha.Put(50, qRgba(250, 20, 0, 0));
    EXPECT_EQ(alpha.ColorMode(), 1);
    for (const int counter : {5, 50, 95}) {
        ColourSamples different = equal;
        different.Put(counter, qRgb(250, 21, 0));
        EXPECT_EQ(different.ColorMode(), 0) << "differs at " << counter;
    }
}

TEST(ColourSamples, TheTestColourIsRedInBothConversions) {
    const tachy::video::Rgb bt709 = tachy::video::bt709ToRgb(76, 90, 236);
    EXPECT_EQ(ColourSamples::TestColourBt709(), qRgb(bt709.red, bt709.green, bt709.blue));
    EXPECT_GT(qRed(ColourSamples::TestColourBt709()), 230);
    EXPECT_GT(qRed(ColourSamples::TestColourBt601()), 230);
    EXPECT_LT(qGreen(ColourSamples::TestColourBt601()), 30);
    EXPECT_LT(qBlue(ColourSamples::TestColourBt601()), 30);

    ColourSamples black;
    EXPECT_FALSE(black.NearTestColour());
    ColourSamples oneRed;
    oneRed.Put(50, ColourSamples::TestColourBt601());
    EXPECT_TRUE(oneRed.NearTestColour());
    ColourSamples swappedChroma; // the chroma planes taken the other way round: blue, not red
    const tachy::video::Rgb swapped = tachy::video::bt709ToRgb(76, 236, 90);
    for (const int counter : {5, 50, 95}) {
        swappedChroma.Put(counter, qRgb(swapped.red, swapped.green, swapped.blue));
    }
    EXPECT_FALSE(swappedChroma.NearTestColour());
}

TEST(TestPicture, WidthIsRoundedDownToEightAndThePlanesHoldTheTestColour) {
    const TestPicture picture(403, 231);
    EXPECT_EQ(picture.Width(), 400);
    EXPECT_EQ(picture.Height(), 231);
    EXPECT_EQ(picture.Strides()[0], 400);
    EXPECT_EQ(picture.Strides()[1], 200);
    EXPECT_EQ(picture.Strides()[2], 200);
    EXPECT_EQ(picture.Planes()[0][0], 76);
    EXPECT_EQ(picture.Planes()[0][400 * 231 - 1], 76);
    EXPECT_EQ(picture.Planes()[1][0], 90);
    EXPECT_EQ(picture.Planes()[2][0], 236);
    // An odd height: the display reads 116 chroma rows, the last one included.
    EXPECT_EQ(picture.Planes()[1][200 * 116 - 1], 90);
    EXPECT_EQ(picture.Planes()[2][200 * 116 - 1], 236);

    EXPECT_TRUE(TestPicture(7, 100).IsEmpty());
    EXPECT_TRUE(TestPicture(100, 0).IsEmpty());
    EXPECT_FALSE(TestPicture(8, 1).IsEmpty());
}
