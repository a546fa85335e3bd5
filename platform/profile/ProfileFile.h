#pragma once
// A Windows private-profile (INI) file with the semantics the suite's files were written for:
// section and key names match without regard to case, the first '=' splits key from value,
// surrounding blanks are dropped, a whole section or the list of section names is seen through
// a 16,384-character buffer, and integers read the way GetPrivateProfileIntW reads them.
// Files may be UTF-8 (with or without BOM) or UTF-16 with BOM; writes keep the file's encoding.

#include "platform/text/TextCodec.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tachy {

class ProfileFile {
public:
    // Size, in UTF-16 units, of the buffer through which a section or the section-name list is
    // read; entries beyond it are not seen, and the last one may be cut short.
    static constexpr std::size_t kSectionBufferChars = 16384;
    // Pass as bufferChars to read a string without a length limit.
    static constexpr std::size_t kUnlimited = 0;

    struct Entry {
        std::string key;
        std::string value;
    };

    ProfileFile() = default;

    // Reads the file. A missing or unreadable file gives an empty profile whose reads return
    // their defaults; exists() tells the two apart.
    static ProfileFile load(const std::filesystem::path& path);
    // Parses bytes as a file's content (path is left empty: writes fail).
    static ProfileFile parse(std::string_view bytes);

    bool exists() const { return m_exists; }
    const std::filesystem::path& path() const { return m_path; }

    // GetPrivateProfileStringW: the value with one pair of enclosing quotes removed, or the
    // default (trailing blanks removed) when the section or key is absent. With bufferChars
    // set, the result is cut to bufferChars - 1 UTF-16 units as the caller's buffer would be.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue,
                           std::size_t bufferChars = kUnlimited) const;

    // GetPrivateProfileIntW: the default when absent or empty; otherwise an optional sign and
    // the leading decimal digits (none gives 0), wrapped to 32 bits.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;

    // GetPrivateProfileSectionW: the entries of the first section of that name, as far as they
    // fit into kSectionBufferChars. Comment lines (';') and blank lines are not entries; a line
    // without '=' is an entry with an empty value.
    std::vector<Entry> readSection(std::string_view section) const;

    // GetPrivateProfileSectionNamesW: every section name in file order, as far as they fit.
    std::vector<std::string> sectionNames() const;

    bool hasSection(std::string_view section) const;

    // WritePrivateProfileStringW: replaces the key's value in the first section of that name,
    // or adds the key at the end of the section, or the section at the end of the file; every
    // other line stays as it was. The file is rewritten atomically. False when it cannot be.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);

    // Parses the leading integer of a text as GetPrivateProfileIntW does.
    static int parseInt(std::string_view text);

private:
    struct Line {
        std::string text;  // the line as stored, without its line ending
    };
    struct KeyRecord {
        std::string key;
        std::string value;
        bool hasEquals = false;
        std::size_t line = 0;
    };
    struct SectionRecord {
        std::string name;
        std::size_t headerLine = 0;
        std::size_t lastContentLine = 0;
        std::vector<KeyRecord> keys;
        std::unordered_map<std::string, std::size_t> keyIndex;  // folded key -> first record
    };

    void parseLines(std::string_view text);
    void indexLines();
    void indexLine(std::size_t lineNumber, std::vector<SectionRecord>& sections);
    const SectionRecord* findSection(std::string_view section) const;
    const KeyRecord* findKey(std::string_view section, std::string_view key) const;
    void setLine(std::string_view section, std::string_view key, std::string_view value);
    bool save() const;

    std::filesystem::path m_path;
    bool m_exists = false;
    text::Encoding m_encoding = text::Encoding::Utf8;
    std::string m_newline = "\r\n";
    std::vector<Line> m_lines;
    std::vector<KeyRecord> m_orphanKeys;  // entries before the first section header
    std::vector<SectionRecord> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;  // folded name -> first section
};

} // namespace tachy
