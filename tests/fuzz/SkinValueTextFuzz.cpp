// Reads arbitrary bytes as each of the skin's value texts: colour, language identifier, sized
// and numbered language values.

#include "skinres/SkinValueText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::uint64_t total = tachy::skin::parseColorText(text);
    total += tachy::skin::parseLanguageId(text);
    const tachy::skin::SizedText sized = tachy::skin::splitSizedText(text);
    total += sized.text.size() + static_cast<std::uint64_t>(sized.size & 1);
    const tachy::skin::NumberedText numbered = tachy::skin::splitNumberedText(text);
    total += numbered.text.size() + static_cast<std::uint64_t>(numbered.number & 1);
    return total == static_cast<std::uint64_t>(-1) ? 1 : 0;
}
