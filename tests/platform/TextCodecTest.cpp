#include "platform/text/CaseFold.h"
#include "platform/text/CodePage.h"
#include "platform/text/TextCodec.h"

#include <gtest/gtest.h>

namespace text = tachy::text;

TEST(TextCodec, DetectsEncodingFromBomOrContent) {
    EXPECT_EQ(text::decode("plain").encoding, text::Encoding::Utf8);
    EXPECT_EQ(text::decode("\xEF\xBB\xBFx").encoding, text::Encoding::Utf8Bom);
    EXPECT_EQ(text::decode("\xEF\xBB\xBFx").utf8, "x");
    EXPECT_EQ(text::decode(std::string("\xFF\xFEx\0", 4)).utf8, "x");
    EXPECT_EQ(text::decode(std::string("\xFE\xFF\0x", 4)).utf8, "x");
    // Bytes that are not UTF-8 are read in the process's ANSI code page (CP1252 by default).
    const auto ansi = text::decode("caf\xE9 \x80");
    EXPECT_EQ(ansi.encoding, text::Encoding::Ansi);
    EXPECT_EQ(ansi.utf8, "caf\xC3\xA9 \xE2\x82\xAC");  // café €
}

TEST(TextCodec, RoundTripsEveryEncodingIncludingSurrogatePairs) {
    const std::string sample = "Ab\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x9A\x97";  // A b é 中 🚗
    for (const auto encoding : {text::Encoding::Utf8, text::Encoding::Utf8Bom,
                                text::Encoding::Utf16Le, text::Encoding::Utf16Be}) {
        const auto decoded = text::decode(text::encode(sample, encoding));
        EXPECT_EQ(decoded.utf8, sample);
        EXPECT_EQ(decoded.encoding, encoding);
    }
    EXPECT_EQ(text::encode("\xC3\xA9\xE4\xB8\xAD", text::Encoding::Ansi), "\xE9?");
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

TEST(CodePage, ConvertsKoreanAndWesternCodePagesBothWays) {
    ASSERT_TRUE(text::isCodePageAvailable(text::kCodePageKorean));
    // 한국어 and the CP949-only extension 똠 (not in EUC-KR).
    const std::string korean = "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4\xEB\x98\xA0";
    const std::string cp949 = "\xC7\xD1\xB1\xB9\xBE\xEE\x8C\x63";
    EXPECT_EQ(text::encodeCodePage(korean, text::kCodePageKorean), cp949);
    EXPECT_EQ(text::decodeCodePage(cp949, text::kCodePageKorean), korean);
    EXPECT_EQ(text::encodeCodePage("Stra\xC3\x9F" "e \xE2\x82\xAC", 1252), "Stra\xDF" "e \x80");
    EXPECT_EQ(text::decodeCodePage("Stra\xDF" "e \x80", 1252), "Stra\xC3\x9F" "e \xE2\x82\xAC");
    // Korean cannot be written in CP1252; a broken CP949 pair reads as U+FFFD.
    EXPECT_EQ(text::encodeCodePage(korean, 1252), "????");
    EXPECT_EQ(text::decodeCodePage("A\xC7", text::kCodePageKorean), "A\xEF\xBF\xBD");
}

TEST(CodePage, EveryCp1252ByteSurvivesADecodeAndEncode) {
    std::string bytes;
    for (int value = 1; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    const std::string utf8 = text::decodeCodePage(bytes, 1252);
    EXPECT_TRUE(text::isValidUtf8(utf8));
    EXPECT_EQ(text::encodeCodePage(utf8, 1252), bytes);
}

TEST(CodePage, LanguageIdsChooseTheWindowsAnsiCodePage) {
    EXPECT_EQ(text::ansiCodePageForLanguage(0x0412), 949);   // Korean
    EXPECT_EQ(text::ansiCodePageForLanguage(1033), 1252);    // English
    EXPECT_EQ(text::ansiCodePageForLanguage(1031), 1252);    // German
    EXPECT_EQ(text::ansiCodePageForLanguage(0x0411), 932);   // Japanese
    EXPECT_EQ(text::ansiCodePageForLanguage(0x0419), 1251);  // Russian
}

TEST(CodePage, ProfileTextInTheAnsiCodePageReadsInTheCodePageSet) {
    const std::string cp949 = "\xC7\xD1\xB1\xB9\xBE\xEE";
    text::setAnsiCodePage(text::kCodePageKorean);
    const auto korean = text::decode(cp949);
    text::setAnsiCodePage(text::kCodePageWestern);
    EXPECT_EQ(korean.encoding, text::Encoding::Ansi);
    EXPECT_EQ(korean.utf8, "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4");
}
