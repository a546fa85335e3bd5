#include "platform/text/CaseFold.h"
#include "platform/text/TextCodec.h"

#include <gtest/gtest.h>

namespace text = tachy::text;

TEST(TextCodec, DetectsEncodingFromBomOrContent) {
    EXPECT_EQ(text::decode("plain").encoding, text::Encoding::Utf8);
    EXPECT_EQ(text::decode("\xEF\xBB\xBFx").encoding, text::Encoding::Utf8Bom);
    EXPECT_EQ(text::decode("\xEF\xBB\xBFx").utf8, "x");
    EXPECT_EQ(text::decode(std::string("\xFF\xFEx\0", 4)).utf8, "x");
    EXPECT_EQ(text::decode(std::string("\xFE\xFF\0x", 4)).utf8, "x");
    // Bytes that are not UTF-8 are read as Latin-1, so nothing is lost.
    const auto latin = text::decode("caf\xE9");
    EXPECT_EQ(latin.encoding, text::Encoding::Latin1);
    EXPECT_EQ(latin.utf8, "caf\xC3\xA9");
}

TEST(TextCodec, RoundTripsEveryEncodingIncludingSurrogatePairs) {
    const std::string sample = "Ab\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x9A\x97";  // A b é 中 🚗
    for (const auto encoding : {text::Encoding::Utf8, text::Encoding::Utf8Bom,
                                text::Encoding::Utf16Le, text::Encoding::Utf16Be}) {
        const auto decoded = text::decode(text::encode(sample, encoding));
        EXPECT_EQ(decoded.utf8, sample);
        EXPECT_EQ(decoded.encoding, encoding);
    }
    EXPECT_EQ(text::encode("\xC3\xA9\xE4\xB8\xAD", text::Encoding::Latin1), "\xE9?");
}

TEST(TextCodec, MalformedInputDecodesToReplacementCharacters) {
    // A lone high surrogate and an odd trailing byte in UTF-16.
    EXPECT_EQ(text::decode(std::string("\xFF\xFE\x00\xD8x", 5)).utf8, "\xEF\xBF\xBD");
    EXPECT_FALSE(text::isValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(text::isValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(text::isValidUtf8("\xE4\xB8"));      // truncated
}

TEST(TextCodec, CountsAndCutsInUtf16Units) {
    const std::string car = "\xF0\x9F\x9A\x97";  // two UTF-16 units
    EXPECT_EQ(text::utf16Length("ab" + car), 4U);
    EXPECT_EQ(text::truncateUtf16("ab" + car, 3), "ab");
    EXPECT_EQ(text::truncateUtf16("ab" + car, 4), "ab" + car);
}

TEST(CaseFold, ComparesWithoutRegardToCase) {
    EXPECT_TRUE(text::equalsIgnoreCase("AviNameFormat", "avinameformat"));
    EXPECT_TRUE(text::equalsIgnoreCase("\xC3\x89" "cran", "\xC3\xA9" "CRAN"));  // Écran
    EXPECT_FALSE(text::equalsIgnoreCase("abc", "abcd"));
    EXPECT_LT(text::compareIgnoreCase("apple", "Banana"), 0);
    EXPECT_GT(text::compareIgnoreCase("b", "A"), 0);
    EXPECT_NE(text::compareIgnoreCase("A", "a"), 0);  // a total order
}
