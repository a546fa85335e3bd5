#include "util/CUtilReg.h"

#include "platform/registry/Registry.h"

namespace {

tachy::Registry registryFor(int hive) {
    return tachy::Registry(hive == CUtilReg::kLocalMachine ? tachy::RegistryHive::LocalMachine
                                                           : tachy::RegistryHive::CurrentUser);
}

} // namespace

std::uint32_t CUtilReg::ReadRegDWORD(const std::string& key, const std::string& value,
                                     std::uint32_t defaultValue, int hive) {
    tachy::Registry registry = registryFor(hive);
    if (const auto stored = registry.readDword(key, value)) {
        return *stored;
    }
    if (registry.isWritable()) {
        registry.writeDword(key, value, defaultValue);
    }
    return defaultValue;
}

int CUtilReg::WriteRegDWORD(const std::string& key, const std::string& value, std::uint32_t data,
                            int hive) {
    return registryFor(hive).writeDword(key, value, data) ? 1 : 0;
}

std::string CUtilReg::ReadRegString(const std::string& key, const std::string& value,
                                    const std::string& defaultValue, int hive) {
    tachy::Registry registry = registryFor(hive);
    if (auto stored = registry.readString(key, value)) {
        return std::move(*stored);
    }
    if (registry.isWritable()) {
        registry.writeString(key, value, defaultValue);
    }
    return defaultValue;
}

int CUtilReg::WriteRegString(const std::string& key, const std::string& value,
                             const std::string& data, int hive) {
    return registryFor(hive).writeString(key, value, data) ? 1 : 0;
}
