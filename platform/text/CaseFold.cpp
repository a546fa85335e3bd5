#include "platform/text/CaseFold.h"

#include "platform/text/TextCodec.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace tachy::text {
namespace {

// A UTF-8 C locale, created once, gives towlower_l its Unicode tables without depending on
// the user's locale settings.
locale_t unicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

char32_t lower(char32_t codePoint) {
    if (codePoint < 0x80) {
        return (codePoint >= 'A' && codePoint <= 'Z') ? codePoint + ('a' - 'A') : codePoint;
    }
    const locale_t locale = unicodeLocale();
    if (locale == nullptr) {
        return codePoint;
    }
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(codePoint), locale));
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string foldCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    if (isAscii(utf8)) {
        for (const char c : utf8) {
            out.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c);
        }
        return out;
    }
    std::size_t position = 0;
    while (position < utf8.size()) {
        appendUtf8(out, lower(nextCodePoint(utf8, position)));
    }
    return out;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t pa = 0;
    std::size_t pb = 0;
    while (pa < a.size() && pb < b.size()) {
        const char32_t ca = lower(nextCodePoint(a, pa));
        const char32_t cb = lower(nextCodePoint(b, pb));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (pa < a.size()) {
        return 1;
    }
    if (pb < b.size()) {
        return -1;
    }
    return a.compare(b);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t pa = 0;
    std::size_t pb = 0;
    while (pa < a.size() && pb < b.size()) {
        if (lower(nextCodePoint(a, pa)) != lower(nextCodePoint(b, pb))) {
            return false;
        }
    }
    return pa == a.size() && pb == b.size();
}

} // namespace tachy::text
