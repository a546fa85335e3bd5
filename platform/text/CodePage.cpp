#include "platform/text/CodePage.h"

#include "platform/text/TextCodec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace tachy::text {
namespace {

std::atomic<int> g_ansiCodePage{kCodePageWestern};

constexpr char32_t kReplacement = 0xFFFD;

// Owns one iconv conversion descriptor.
class IconvHandle {
public:
    IconvHandle(const std::string& to, const std::string& from)
        : m_handle(::iconv_open(to.c_str(), from.c_str())) {}
    ~IconvHandle() {
        if (valid()) {
            ::iconv_close(m_handle);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // iconv_open answers (iconv_t)-1 on failure.
    bool valid() const { return reinterpret_cast<std::intptr_t>(m_handle) != -1; }
    iconv_t get() const { return m_handle; }

private:
    iconv_t m_handle;
};

std::string iconvName(int codePage) {
    return codePage == 65001 ? std::string("UTF-8") : "CP" + std::to_string(codePage);
}

bool isUnassignedWestern(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// Runs iconv over `input`, calling `onInvalid` for each sequence it refuses; the callback appends
// its replacement to the output and answers how many input bytes to skip.
template <typename OnInvalid>
bool convert(const IconvHandle& handle, std::string_view input, std::string& out,
             OnInvalid onInvalid) {
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPointer = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(handle.get(), &in, &inLeft, &outPointer, &outLeft);
        const int error = errno;
        out.append(buffer, static_cast<std::size_t>(outPointer - buffer));
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (error == E2BIG) {
            continue;
        }
        if (error != EILSEQ && error != EINVAL) {
            return false;
        }
        const std::size_t skip = std::min(inLeft, onInvalid(std::string_view(in, inLeft), out));
        in += skip;
        inLeft -= skip;
        ::iconv(handle.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return true;
}

} // namespace

std::string decodeCodePage(std::string_view bytes, int codePage) {
    const IconvHandle handle("UTF-8", iconvName(codePage));
    std::string out;
    out.reserve(bytes.size() * 2);
    if (!handle.valid()) {
        for (const char byte : bytes) {
            appendUtf8(out, static_cast<unsigned char>(byte));
        }
        return out;
    }
    const bool converted = convert(handle, bytes, out, [&](std::string_view rest, std::string& o) {
        const auto byte = static_cast<unsigned char>(rest.front());
        const bool keep = codePage == kCodePageWestern && isUnassignedWestern(byte);
        appendUtf8(o, keep ? static_cast<char32_t>(byte) : kReplacement);
        return std::size_t{1};
    });
    return converted ? out : std::string();
}

std::string encodeCodePage(std::string_view utf8, int codePage) {
    const IconvHandle handle(iconvName(codePage), "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    if (!handle.valid()) {
        return std::string(utf8);
    }
    const bool converted = convert(handle, utf8, out, [&](std::string_view rest, std::string& o) {
        std::size_t length = 0;
        const char32_t codePoint = nextCodePoint(rest, length);
        const bool keep = codePage == kCodePageWestern && codePoint < 0x100 &&
                          isUnassignedWestern(static_cast<unsigned char>(codePoint));
        o.push_back(keep ? static_cast<char>(codePoint) : '?');
        return length;
    });
    return converted ? out : std::string();
}

bool isCodePageAvailable(int codePage) {
    return IconvHandle("UTF-8", iconvName(codePage)).valid();
}

int ansiCodePageForLanguage(int languageId) {
    switch (languageId & 0x3FF) { // the primary language of the id
    case 0x12:
        return kCodePageKorean;
    case 0x11:
        return 932;
    case 0x04:
        return (languageId == 0x0404 || languageId == 0x0C04 || languageId == 0x1404) ? 950 : 936;
    case 0x19:
    case 0x22:
    case 0x23:
    case 0x02:
        return 1251;
    default:
        return kCodePageWestern;
    }
}

int ansiCodePage() {
    return g_ansiCodePage.load(std::memory_order_relaxed);
}

void setAnsiCodePage(int codePage) {
    g_ansiCodePage.store(codePage, std::memory_order_relaxed);
}

} // namespace tachy::text
