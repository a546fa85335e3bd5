// Parses arbitrary bytes as a profile file and reads it every way the suite does.

#include "platform/profile/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tachy::ProfileFile profile = tachy::ProfileFile::parse(bytes);
    std::size_t total = 0;
    for (const std::string& name : profile.sectionNames()) {
        for (const auto& entry : profile.readSection(name)) {
            total += profile.readString(name, entry.key, "d", 31).size();
            total += static_cast<std::size_t>(profile.readInt(name, entry.key, -1) & 1);
        }
    }
    return total == static_cast<std::size_t>(-1) ? 1 : 0;
}
