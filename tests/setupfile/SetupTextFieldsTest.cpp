// The settings file's ANSI text fields in real code pages, judged against Python's codecs.

#include "setupfile/SetupTextFields.h"
#include "setupfile/ISetupPageModel.h"
#include "setupfile/SetupChecksum.h"
#include "tests/setupfile/SetupFileFixture.h"
#include "tests/support/Command.h"

#include <gtest/gtest.h>

using namespace tachy::setupfile;

namespace {

// Python's encoding of UTF-8 text in a code page, as hex.
std::string PythonEncodedHex(const std::string& utf8, const std::string& codec) {
    return tachy::test::runCommand("python3 -S -c \"import sys; print(sys.argv[1].encode('" +
                                   codec + "', 'replace').hex(), end='')\" '" + utf8 + "'");
}

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        hex += digits[static_cast<unsigned char>(c) >> 4];
        hex += digits[static_cast<unsigned char>(c) & 15];
    }
    return hex;
}

const std::string kKorean = "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4"; // 한국어
const std::string kGerman = "M\xC3\xBC"
                            "ller Stra\xC3\x9F"
                            "e"; // Müller Straße

} // namespace

TEST(SetupTextFields, KoreanIsStoredInCp949AndGermanInCp1252) {
    SetupBuffer buffer{};
    const std::string korean = WriteTextField(buffer, SetupTextField::ModelName, kKorean, 949);
    EXPECT_EQ(Hex(korean), PythonEncodedHex(kKorean, "cp949"));
    EXPECT_EQ(ReadTextField(buffer, SetupTextField::ModelName, 949), kKorean);
    const std::string german = WriteTextField(buffer, SetupTextField::TextA, kGerman, 1252);
    EXPECT_EQ(Hex(german), PythonEncodedHex(kGerman, "cp1252"));
    EXPECT_EQ(ReadTextField(buffer, SetupTextField::TextA, 1252), kGerman);
    // Read in the wrong code page the Korean bytes are not the Korean text.
    EXPECT_NE(ReadTextField(buffer, SetupTextField::ModelName, 1252), kKorean);
}

TEST(SetupTextFields, LongTextIsCutTo32BytesWithoutSplittingADoubleByteCharacter) {
    std::string seventeen;
    for (int i = 0; i < 17; ++i) {
        seventeen += "\xED\x95\x9C"; // 한: two bytes in CP949
    }
    EXPECT_EQ(EncodeTextField(seventeen, 949).size(), 32U);
    EXPECT_EQ(EncodeTextField("A" + seventeen, 949).size(), 31U);
    SetupBuffer buffer{};
    buffer.fill(0xEE);
    WriteTextField(buffer, SetupTextField::MakerName, "A" + seventeen, 949);
    EXPECT_EQ(buffer[96 + 31], 0);    // padded, not left as it was
    EXPECT_EQ(buffer[96 + 32], 0xEE); // the next field untouched
    EXPECT_EQ(ReadTextField(buffer, SetupTextField::MakerName, 949).size(), 1U + 15U * 3U);
    // 32 bytes exactly fill the field with no NUL, and read back whole.
    WriteTextField(buffer, SetupTextField::MakerName, std::string(40, 'x'), 1252);
    EXPECT_EQ(ReadTextField(buffer, SetupTextField::MakerName, 1252), std::string(32, 'x'));
}

TEST(SetupTextFields, NamesTheCodePageCannotHoldOrThatAreCutStillValidateOnceWritten) {
    SetupIdentity identity{"TACHY-100",
                           "\xED\x95\x9C"
                           "Maker",
                           "1.0", 1252};
    const auto page = ISetupPageModel::Create(0);
    SetupBuffer buffer{};
    page->NewFileDefaults(buffer, identity);
    EXPECT_EQ(ReadTextField(buffer, SetupTextField::MakerName, 1252), "?Maker");
    EXPECT_EQ(page->Validate(buffer, identity), SetupFileStatus::Valid);
    // A maker really named "?Maker" in the file is still not "XMaker".
    identity.makerName = "XMaker";
    EXPECT_EQ(page->Validate(buffer, identity), SetupFileStatus::WrongMaker);

    identity = {std::string(40, 'M'), "TACHY", "1.0", 1252};
    page->NewFileDefaults(buffer, identity);
    EXPECT_EQ(page->Validate(buffer, identity), SetupFileStatus::Valid);

    identity = {kKorean, kKorean, "1.0", 949};
    page->NewFileDefaults(buffer, identity);
    EXPECT_EQ(page->Validate(buffer, identity), SetupFileStatus::Valid);
    identity.codePage = 1252;
    EXPECT_NE(page->Validate(buffer, identity), SetupFileStatus::Valid);
}
