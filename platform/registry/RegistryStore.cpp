#include "platform/registry/RegistryStore.h"

#include "platform/text/CaseFold.h"

#include <charconv>

namespace tachy {
namespace {

constexpr std::string_view kHeader = "; tachy registry store, written by the suite: do not edit while it runs";

// Escapes with %XX every byte that would break the line syntax.
std::string escape(std::string_view text, std::string_view special) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%' || special.find(c) != std::string_view::npos) {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>((high << 4) | low));
        i += 2;
    }
    return out;
}

} // namespace

std::string RegistryStore::normalizeKey(std::string_view key) {
    std::string out;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find('\\', start);
        if (end == std::string_view::npos) {
            end = key.size();
        }
        if (end > start) {
            if (!out.empty()) {
                out.push_back('\\');
            }
            out.append(key.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

RegistryStore::Key& RegistryStore::keyFor(std::string_view key) {
    const std::string path = normalizeKey(key);
    auto [position, inserted] = m_keys.try_emplace(text::foldCase(path));
    if (inserted) {
        position->second.path = path;
    }
    return position->second;
}

bool RegistryStore::hasKey(std::string_view key) const {
    // As in the Windows registry, the parents of a stored key exist too.
    const std::string folded = text::foldCase(normalizeKey(key));
    if (folded.empty() || m_keys.contains(folded)) {
        return true;
    }
    const std::string childPrefix = folded + "\\";
    const auto next = m_keys.lower_bound(childPrefix);
    return next != m_keys.end() && next->first.starts_with(childPrefix);
}

void RegistryStore::createKey(std::string_view key) {
    keyFor(key);
}

const RegistryStore::Value* RegistryStore::find(std::string_view key,
                                                std::string_view name) const {
    const auto found = m_keys.find(text::foldCase(normalizeKey(key)));
    if (found == m_keys.end()) {
        return nullptr;
    }
    for (const NamedValue& value : found->second.values) {
        if (text::equalsIgnoreCase(value.name, name)) {
            return &value.value;
        }
    }
    return nullptr;
}

void RegistryStore::set(std::string_view key, std::string_view name, Value value) {
    setIn(keyFor(key), name, std::move(value));
}

void RegistryStore::setIn(Key& record, std::string_view name, Value value) {
    for (NamedValue& existing : record.values) {
        if (text::equalsIgnoreCase(existing.name, name)) {
            existing.value = std::move(value);
            return;
        }
    }
    record.values.push_back({std::string(name), std::move(value)});
}

std::string RegistryStore::serialize() const {
    std::string out(kHeader);
    out.push_back('\n');
    for (const auto& [folded, key] : m_keys) {
        out.append("\n[").append(escape(key.path, "[]")).append("]\n");
        for (const NamedValue& value : key.values) {
            out.append(escape(value.name, "=[];"));
            if (const auto* number = std::get_if<std::uint32_t>(&value.value)) {
                out.append("=dword:").append(std::to_string(*number));
            } else {
                out.append("=sz:").append(escape(std::get<std::string>(value.value), ""));
            }
            out.push_back('\n');
        }
    }
    return out;
}

bool RegistryStore::parseLine(std::string_view line, Key*& current) {
    if (line.empty() || line.front() == ';') {
        return true;
    }
    if (line.front() == '[') {
        if (line.back() != ']') {
            return false;
        }
        const auto path = unescape(line.substr(1, line.size() - 2));
        if (!path) {
            return false;
        }
        current = &keyFor(*path);
        return true;
    }
    const std::size_t equals = line.find('=');
    if (current == nullptr || equals == std::string_view::npos) {
        return false;
    }
    const auto name = unescape(line.substr(0, equals));
    const std::string_view typed = line.substr(equals + 1);
    if (!name) {
        return false;
    }
    if (typed.starts_with("dword:")) {
        const std::string_view digits = typed.substr(6);
        std::uint32_t number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
            return false;
        }
        setIn(*current, *name, number);
        return true;
    }
    if (typed.starts_with("sz:")) {
        const auto data = unescape(typed.substr(3));
        if (!data) {
            return false;
        }
        setIn(*current, *name, *data);
        return true;
    }
    return false;
}

std::optional<RegistryStore> RegistryStore::parse(std::string_view bytes) {
    RegistryStore store;
    Key* current = nullptr;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        if (!store.parseLine(bytes.substr(start, end - start), current)) {
            return std::nullopt;
        }
        start = end + 1;
    }
    return store;
}

} // namespace tachy
