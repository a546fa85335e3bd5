#include "cli/CodecName.h"

#include "platform/text/CaseFold.h"

namespace tachy::cli {

std::string FourCCText(tachy::avi::FourCC code) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        text += c >= ' ' && c < 0x7F ? c : '.';
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

std::string CodecName(tachy::avi::FourCC code) {
    const std::string text = FourCCText(code);
    const std::string folded = tachy::text::foldCase(text);
    for (const char* h264 : {"h264", "x264", "avc1", "davc"}) {
        if (folded == h264) {
            return "H264";
        }
    }
    for (const char* hevc : {"hevc", "h265", "x265", "hvc1", "hev1"}) {
        if (folded == hevc) {
            return "HEVC";
        }
    }
    return text.empty() ? "?" : text;
}

} // namespace tachy::cli
