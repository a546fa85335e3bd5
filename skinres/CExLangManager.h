#pragma once
// The language manager: the user-interface texts of one language file with the font size each
// text is shown in, the language's font record, and the numbered text tables.

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

// One text of the language file.
struct _TAG_STRING_INFO {
    QString text;
    int fontSize = 0;  // point size the caller builds the control's font with
};

class CExLangManager {
public:
    // Text numbers run from 0 to kTableSize - 1.
    static constexpr int kTableSize = 4000;
    // Buffer, in characters, through which names and the map host are read.
    static constexpr std::size_t kNameBufferChars = 260;

    // The font of a language and its six sizes.
    struct FontInfo {
        QString name;
        int title = 23;
        int normal = 14;
        int group = 16;
        int tab = 17;
        int model = 13;
        int small = 12;
    };

    CExLangManager();
    ~CExLangManager();
    CExLangManager(const CExLangManager&) = delete;
    CExLangManager& operator=(const CExLangManager&) = delete;

    // Display name and identifier of a language file ("Language Info"). Always 1.
    int GetLangInfo(const QString& file, QString& name, std::uint16_t& languageId) const;
    // The connectivity host of the language's map page ("Language Info", "Map").
    QString GetMapInfo(const QString& file) const;

    int LoadFontInfo(const QString& file);
    QString GetFontName() const { return m_font.name; }
    const FontInfo& GetFontInfo() const { return m_font; }

    // Keyed texts: the viewer's sections "AppMain", "AppPopup" and those its later tools add
    // ("ExportTools", "Trip"), or the settings section "AppSettings". Loading adds to what is
    // loaded; a key met again replaces its text.
    int LoadTextInfo(const QString& file);
    int LoadSetupText(const QString& file);
    void UnloadTextInfo();
    void UnloadSetupText();

    // The text record of a key, or a record with empty text and size 10 for an absent key.
    // Valid until the texts are unloaded.
    const _TAG_STRING_INFO* GetTextInfo(const QString& key) const;
    QString GetText(const QString& key) const;
    std::size_t GetTextCount() const { return m_texts.size(); }

    // Numbered texts of "AppMain" and "AppPopup" into the main table.
    int LoadMainLangString(const QString& file);
    QString GetMainLangString(int number) const;
    int GetMainFontSize(int number) const;
    // The general table, which is only ever cleared.
    QString GetLangString(int number) const;
    int GetFontSize(int number) const;

private:
    // A growing array of strings and, per text number, where its string lies and its size.
    struct NumberedTable {
        std::vector<QString> strings;
        std::array<int, kTableSize> position;
        std::array<int, kTableSize> fontSize;

        void clear();
        void add(int number, int size, const QString& text);
        QString string(int number) const;
        int size(int number) const;
    };

    void loadKeyedSection(const QString& file, const char* section);
    void ClearList();

    std::map<QString, std::unique_ptr<_TAG_STRING_INFO>> m_texts;
    _TAG_STRING_INFO m_defaultText;
    FontInfo m_font;
    std::unique_ptr<NumberedTable> m_generalTable;
    std::unique_ptr<NumberedTable> m_mainTable;
};
