#include "platform/profile/ProfileFile.h"

#include "platform/fs/FileIo.h"
#include "platform/text/CaseFold.h"

#include <cstdint>

namespace tachy {
namespace {

// The characters Windows treats as blanks around names and values (^Z included, which old
// editors leave at the end of a file).
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' ||
           c == '\x1a';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view stripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view limitToBuffer(std::string_view text, std::size_t bufferChars) {
    if (bufferChars == ProfileFile::kUnlimited) {
        return text;
    }
    return text::truncateUtf16(text, bufferChars - 1);
}

// Lays texts out as Windows does in a double-NUL-terminated buffer of `bufferChars` units:
// whole texts while they fit, then as much of the next one as fits, then nothing.
std::vector<std::string> packIntoBuffer(const std::vector<std::string>& texts,
                                        std::size_t bufferChars) {
    std::vector<std::string> packed;
    std::size_t available = bufferChars - 1;  // the closing NUL
    for (const std::string& text : texts) {
        const std::size_t need = text::utf16Length(text) + 1;
        if (need <= available) {
            packed.push_back(text);
            available -= need;
            continue;
        }
        if (available >= 2) {
            packed.emplace_back(text::truncateUtf16(text, available - 1));
        }
        break;
    }
    return packed;
}

std::string withoutLineBreaks(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return out;
}

} // namespace

ProfileFile ProfileFile::load(const std::filesystem::path& path) {
    ProfileFile profile;
    profile.m_path = path;
    if (const auto bytes = fs::readFile(path)) {
        profile.m_exists = true;
        text::DecodedText decoded = text::decode(*bytes);
        profile.m_encoding = decoded.encoding;
        profile.parseLines(decoded.utf8);
    }
    profile.indexLines();
    return profile;
}

ProfileFile ProfileFile::parse(std::string_view bytes) {
    ProfileFile profile;
    profile.m_exists = true;
    text::DecodedText decoded = text::decode(bytes);
    profile.m_encoding = decoded.encoding;
    profile.parseLines(decoded.utf8);
    profile.indexLines();
    return profile;
}

void ProfileFile::parseLines(std::string_view text) {
    m_newline = text.find("\r\n") != std::string_view::npos || text.empty() ? "\r\n" : "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        m_lines.push_back({std::string(text.substr(start, end - start))});
        start = end;
        if (start < text.size() && text[start] == '\r') {
            ++start;
        }
        if (start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
}

void ProfileFile::indexLines() {
    m_sections.clear();
    m_sectionIndex.clear();
    m_orphanKeys.clear();
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        indexLine(i, m_sections);
    }
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        m_sectionIndex.try_emplace(text::foldCase(m_sections[i].name), i);
    }
}

void ProfileFile::indexLine(std::size_t lineNumber, std::vector<SectionRecord>& sections) {
    const std::string_view line = trim(m_lines[lineNumber].text);
    if (line.empty() || line.front() == ';') {
        return;
    }
    if (line.front() == '[') {
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos) {
            SectionRecord section;
            section.name = std::string(trim(line.substr(1, close - 1)));
            section.headerLine = lineNumber;
            section.lastContentLine = lineNumber;
            sections.push_back(std::move(section));
            return;
        }
        // A '[' line without ']' is not a header; Windows reads it as a key line.
    }
    KeyRecord record;
    record.line = lineNumber;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        record.key = std::string(line);
    } else {
        record.key = std::string(trim(line.substr(0, equals)));
        record.value = std::string(trim(line.substr(equals + 1)));
        record.hasEquals = true;
    }
    if (sections.empty()) {
        m_orphanKeys.push_back(std::move(record));
        return;
    }
    SectionRecord& section = sections.back();
    section.lastContentLine = lineNumber;
    section.keyIndex.try_emplace(text::foldCase(record.key), section.keys.size());
    section.keys.push_back(std::move(record));
}

const ProfileFile::SectionRecord* ProfileFile::findSection(std::string_view section) const {
    const auto found = m_sectionIndex.find(text::foldCase(section));
    return found == m_sectionIndex.end() ? nullptr : &m_sections[found->second];
}

const ProfileFile::KeyRecord* ProfileFile::findKey(std::string_view section,
                                                   std::string_view key) const {
    const SectionRecord* record = findSection(section);
    if (record == nullptr) {
        return nullptr;
    }
    const auto found = record->keyIndex.find(text::foldCase(trim(key)));
    return found == record->keyIndex.end() ? nullptr : &record->keys[found->second];
}

bool ProfileFile::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

std::string ProfileFile::readString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferChars) const {
    if (bufferChars == 1) {
        return {};
    }
    const KeyRecord* record = findKey(section, key);
    if (record == nullptr) {
        return std::string(limitToBuffer(trimRight(defaultValue), bufferChars));
    }
    return std::string(limitToBuffer(stripQuotes(record->value), bufferChars));
}

int ProfileFile::parseInt(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10U + static_cast<std::uint32_t>(c - '0');
    }
    if (negative) {
        value = 0U - value;
    }
    return static_cast<int>(value);
}

int ProfileFile::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    const KeyRecord* record = findKey(section, key);
    if (record == nullptr) {
        return defaultValue;
    }
    const std::string_view value = stripQuotes(record->value);
    return value.empty() ? defaultValue : parseInt(value);
}

std::vector<ProfileFile::Entry> ProfileFile::readSection(std::string_view section) const {
    const SectionRecord* record = findSection(section);
    if (record == nullptr) {
        return {};
    }
    std::vector<std::string> texts;
    texts.reserve(record->keys.size());
    for (const KeyRecord& key : record->keys) {
        texts.push_back(key.hasEquals ? key.key + "=" + key.value : key.key);
    }
    std::vector<Entry> entries;
    for (const std::string& text : packIntoBuffer(texts, kSectionBufferChars)) {
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) {
            entries.push_back({text, {}});
        } else {
            entries.push_back({text.substr(0, equals), text.substr(equals + 1)});
        }
    }
    return entries;
}

std::vector<std::string> ProfileFile::sectionNames() const {
    std::vector<std::string> names;
    names.reserve(m_sections.size());
    for (const SectionRecord& section : m_sections) {
        names.push_back(section.name);
    }
    return packIntoBuffer(names, kSectionBufferChars);
}

bool ProfileFile::writeString(std::string_view section, std::string_view key,
                              std::string_view value) {
    if (m_path.empty()) {
        return false;
    }
    // Edit what is on disk now, not what was read earlier, so that another writer's keys
    // survive; a file that exists but cannot be read is never replaced.
    ProfileFile current = load(m_path);
    std::error_code error;
    if (!current.m_exists && std::filesystem::exists(m_path, error)) {
        return false;
    }
    current.setLine(section, key, value);
    if (!current.save()) {
        return false;
    }
    current.m_exists = true;
    *this = std::move(current);
    return true;
}

void ProfileFile::setLine(std::string_view section, std::string_view key,
                          std::string_view rawValue) {
    // A line break inside a value would start a new line of the file: keep it on one line.
    const std::string value = withoutLineBreaks(rawValue);
    const std::string keyName = withoutLineBreaks(trim(key));
    if (const KeyRecord* existing = findKey(section, key)) {
        m_lines[existing->line].text = existing->key + "=" + value;
    } else if (const SectionRecord* record = findSection(section)) {
        const auto position = static_cast<std::ptrdiff_t>(record->lastContentLine + 1);
        m_lines.insert(m_lines.begin() + position, {keyName + "=" + value});
    } else {
        if (!m_lines.empty() && !trim(m_lines.back().text).empty()) {
            m_lines.push_back({""});
        }
        m_lines.push_back({"[" + withoutLineBreaks(section) + "]"});
        m_lines.push_back({keyName + "=" + value});
    }
    indexLines();
}

bool ProfileFile::save() const {
    std::string content;
    for (const Line& line : m_lines) {
        content.append(line.text).append(m_newline);
    }
    return fs::writeFileAtomically(m_path, text::encode(content, m_encoding));
}

} // namespace tachy
