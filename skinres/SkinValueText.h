#pragma once
// The small value texts of the skin and language files: colours ("alpha,red,green,blue"),
// language identifiers ("0x0412") and sized texts ("12,text"). Pure functions, no Qt, so that
// they can be fuzzed and tested on their own.

#include <cstdint>
#include <string>
#include <string_view>

namespace tachy::skin {

// Opaque white, the colour of every colour key that is absent or unreadable.
inline constexpr std::uint32_t kDefaultColor = 0xFFFFFFFFu;
// The colour text read for an absent colour key.
inline constexpr std::string_view kDefaultColorText = "255,255,255,255";

// "alpha,red,green,blue" in decimal, each part cut to its low 8 bits, as 0xAARRGGBB. A text with
// fewer than four parts gives kDefaultColor.
std::uint32_t parseColorText(std::string_view text);

// A language identifier read as hexadecimal from its last character towards its first; an 'x'
// or 'X' ends the scan ("0x0412" and "0412" are both 0x0412). Any other non-hexadecimal
// character gives 0xFFFF; an empty text gives 0.
std::uint16_t parseLanguageId(std::string_view text);

// A keyed language value "size,text": the part before the first comma read as a decimal
// integer and everything after it. Without a comma the whole value is both number and text.
struct SizedText {
    int size = 0;
    std::string text;
};
SizedText splitSizedText(std::string_view value);

// A numbered language value "number,size,text". Missing parts read as 0 and an empty text.
struct NumberedText {
    int number = 0;
    int size = 0;
    std::string text;
};
NumberedText splitNumberedText(std::string_view value);

} // namespace tachy::skin
