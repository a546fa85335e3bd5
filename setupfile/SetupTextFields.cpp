#include "setupfile/SetupTextFields.h"

#include "platform/text/CodePage.h"
#include "platform/text/TextCodec.h"

#include <algorithm>

namespace tachy::setupfile {
namespace {

std::string_view storedBytes(std::span<const std::uint8_t> bytes, SetupTextField field) {
    const auto offset = static_cast<std::size_t>(field);
    if (bytes.size() < offset + kTextFieldSize) {
        return {};
    }
    const auto* begin = reinterpret_cast<const char*>(bytes.data() + offset);
    const std::string_view whole(begin, kTextFieldSize);
    return whole.substr(0, std::min(whole.find('\0'), kTextFieldSize));
}

} // namespace

std::string ReadTextField(std::span<const std::uint8_t> bytes, SetupTextField field, int codePage) {
    return text::decodeCodePage(storedBytes(bytes, field), codePage);
}

std::string EncodeTextField(std::string_view utf8, int codePage) {
    std::string stored;
    std::size_t position = 0;
    while (position < utf8.size()) {
        const std::size_t start = position;
        const char32_t codePoint = text::nextCodePoint(utf8, position);
        if (codePoint == 0) {
            break;
        }
        const std::string encoded =
            text::encodeCodePage(utf8.substr(start, position - start), codePage);
        if (stored.size() + encoded.size() > kTextFieldSize) {
            break;
        }
        stored += encoded;
    }
    return stored;
}

std::string WriteTextField(SetupBuffer& buffer, SetupTextField field, std::string_view utf8,
                           int codePage) {
    std::string stored = EncodeTextField(utf8, codePage);
    const auto offset = static_cast<std::size_t>(field);
    std::fill_n(buffer.begin() + static_cast<std::ptrdiff_t>(offset), kTextFieldSize, 0);
    std::copy(stored.begin(), stored.end(), buffer.begin() + static_cast<std::ptrdiff_t>(offset));
    return stored;
}

bool TextFieldMatches(std::span<const std::uint8_t> bytes, SetupTextField field,
                      std::string_view expected, int codePage) {
    const std::string_view stored = storedBytes(bytes, field);
    return text::decodeCodePage(stored, codePage) == expected ||
           stored == EncodeTextField(expected, codePage);
}

} // namespace tachy::setupfile
