#pragma once
// Registry access for the suite: the current user's store (read and write) in
// $XDG_CONFIG_HOME/tachy/registry.ini and the machine store (read only) in the first folder of
// $XDG_CONFIG_DIRS (default /etc/xdg) under tachy/registry.ini. Every call reads the store
// afresh, so values written by another program of the suite are seen at once. A corrupt store
// reads as empty and is rewritten whole, atomically, on the next write.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tachy {

class RegistryStore;

enum class RegistryHive { CurrentUser, LocalMachine };

class Registry {
public:
    explicit Registry(RegistryHive hive = RegistryHive::CurrentUser);

    static std::filesystem::path storePath(RegistryHive hive);

    bool isWritable() const { return m_hive == RegistryHive::CurrentUser; }

    bool keyExists(std::string_view key) const;
    // Creates the key when missing; false for the machine store or when the store cannot be
    // written.
    bool createKey(std::string_view key);

    // Nothing when the key or value is missing or holds the other type.
    std::optional<std::uint32_t> readDword(std::string_view key, std::string_view name) const;
    std::optional<std::string> readString(std::string_view key, std::string_view name) const;

    bool writeDword(std::string_view key, std::string_view name, std::uint32_t value);
    bool writeString(std::string_view key, std::string_view name, std::string_view value);

private:
    RegistryStore loadStore() const;
    template <typename Change> bool modify(Change&& change);

    RegistryHive m_hive;
    std::filesystem::path m_path;
};

} // namespace tachy
