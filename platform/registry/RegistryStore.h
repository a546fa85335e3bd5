#pragma once
// The contents of one registry store file: keys (backslash-separated paths, matched without
// regard to case) holding named DWORD and string values. Parsing is strict: a file with any
// line that does not parse counts as corrupt, and the caller treats it as empty.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tachy {

class RegistryStore {
public:
    using Value = std::variant<std::uint32_t, std::string>;

    // Parses a store file; nothing when it is corrupt.
    static std::optional<RegistryStore> parse(std::string_view bytes);
    std::string serialize() const;

    // "Software\\A\\\\B\\" and "software\\a\\b" name the same key.
    static std::string normalizeKey(std::string_view key);

    bool hasKey(std::string_view key) const;
    void createKey(std::string_view key);
    const Value* find(std::string_view key, std::string_view name) const;
    void set(std::string_view key, std::string_view name, Value value);

private:
    struct NamedValue {
        std::string name;
        Value value;
    };
    struct Key {
        std::string path;  // as first written
        std::vector<NamedValue> values;
    };

    Key& keyFor(std::string_view key);
    static void setIn(Key& record, std::string_view name, Value value);
    bool parseLine(std::string_view line, Key*& current);

    std::map<std::string, Key> m_keys;  // folded path -> key
};

} // namespace tachy
