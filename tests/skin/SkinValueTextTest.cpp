#include "skinres/SkinValueText.h"

#include <gtest/gtest.h>

using namespace tachy::skin;

TEST(SkinValueText, ColorTextIsAlphaRedGreenBlue) {
    EXPECT_EQ(parseColorText("255,0,128,255"), 0xFF0080FFu);
    EXPECT_EQ(parseColorText(" 0 , 1 , 2 , 3 "), 0x00010203u);
    // Each part keeps only its low 8 bits.
    EXPECT_EQ(parseColorText("511,256,-1,300"), 0xFF00FF2Cu);
    // A fifth part is ignored.
    EXPECT_EQ(parseColorText("1,2,3,4,5"), 0x01020304u);
}

TEST(SkinValueText, ColorTextWithTooFewPartsIsOpaqueWhite) {
    EXPECT_EQ(parseColorText(""), kDefaultColor);
    EXPECT_EQ(parseColorText("255,0,0"), kDefaultColor);
    EXPECT_EQ(parseColorText("red"), kDefaultColor);
    EXPECT_EQ(parseColorText(kDefaultColorText), 0xFFFFFFFFu);
}

TEST(SkinValueText, LanguageIdIsHexadecimalWithOrWithoutPrefix) {
    EXPECT_EQ(parseLanguageId("0x0412"), 0x0412);
    EXPECT_EQ(parseLanguageId("0412"), 0x0412);
    EXPECT_EQ(parseLanguageId("0x040C"), 1036);
    EXPECT_EQ(parseLanguageId("0X040c"), 1036);
    EXPECT_EQ(parseLanguageId("409"), 1033);
    EXPECT_EQ(parseLanguageId(""), 0);
    // The scan stops at the first x from the end: what stands before it is not read.
    EXPECT_EQ(parseLanguageId("zzx0407"), 0x0407);
}

TEST(SkinValueText, LanguageIdWithAForeignCharacterIsFFFF) {
    EXPECT_EQ(parseLanguageId("0x04g9"), 0xFFFF);
    EXPECT_EQ(parseLanguageId("0x0409 "), 0xFFFF);
    EXPECT_EQ(parseLanguageId("-409"), 0xFFFF);
}

TEST(SkinValueText, SizedTextKeepsCommasOfTheText) {
    const SizedText sized = splitSizedText("12,one, two, three");
    EXPECT_EQ(sized.size, 12);
    EXPECT_EQ(sized.text, "one, two, three");
    const SizedText empty = splitSizedText("14,");
    EXPECT_EQ(empty.size, 14);
    EXPECT_EQ(empty.text, "");
}

TEST(SkinValueText, SizedTextWithoutCommaIsNumberAndTextAtOnce) {
    EXPECT_EQ(splitSizedText("Hello").size, 0);
    EXPECT_EQ(splitSizedText("Hello").text, "Hello");
    EXPECT_EQ(splitSizedText("42 km").size, 42);
    EXPECT_EQ(splitSizedText("42 km").text, "42 km");
}

TEST(SkinValueText, NumberedTextHasNumberSizeAndTheRest) {
    const NumberedText full = splitNumberedText("17,13,Stop, then play");
    EXPECT_EQ(full.number, 17);
    EXPECT_EQ(full.size, 13);
    EXPECT_EQ(full.text, "Stop, then play");
    const NumberedText shortValue = splitNumberedText("5,11");
    EXPECT_EQ(shortValue.number, 5);
    EXPECT_EQ(shortValue.size, 11);
    EXPECT_EQ(shortValue.text, "");
    EXPECT_EQ(splitNumberedText("8").number, 8);
}
