#include "platform/ipc/IpcName.h"

#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace tachy::ipc {

std::string safeName(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (plain) {
            out.push_back(c);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out.push_back('_');
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 0x0F]);
    }
    return out;
}

std::filesystem::path runtimeFolder() {
    const char* configured = std::getenv("XDG_RUNTIME_DIR");  // NOLINT(concurrency-mt-unsafe)
    if (configured != nullptr && configured[0] == '/') {
        return configured;
    }
    std::filesystem::path folder = "/tmp/tachy-runtime-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

std::string sessionTag() {
    std::uint32_t hash = 2166136261U;
    for (const char c : runtimeFolder().string()) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string tag(8, '0');
    for (int digit = 7; digit >= 0; --digit) {
        tag[static_cast<std::size_t>(digit)] = kHex[hash & 0x0F];
        hash >>= 4;
    }
    return tag;
}

} // namespace tachy::ipc
