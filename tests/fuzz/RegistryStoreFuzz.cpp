// Parses arbitrary bytes as a registry store; whatever parses must survive a round trip.

#include "platform/registry/RegistryStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto store = tachy::RegistryStore::parse(bytes);
    if (!store) {
        return 0;
    }
    const std::string once = store->serialize();
    const auto again = tachy::RegistryStore::parse(once);
    if (!again || again->serialize() != once) {
        std::abort();  // a store we wrote must read back as itself
    }
    return 0;
}
