#include "skinres/CExLangManager.h"

#include "platform/profile/ProfileFile.h"
#include "skinres/SkinLookupLog.h"
#include "skinres/SkinValueText.h"

#include <filesystem>

using tachy::ProfileFile;

namespace {

ProfileFile loadProfile(const QString& file) {
    return ProfileFile::load(std::filesystem::path(file.toStdString()));
}

bool inTable(int number) {
    return number >= 0 && number < CExLangManager::kTableSize;
}

} // namespace

void CExLangManager::NumberedTable::clear() {
    strings.clear();
    position.fill(-1);
    fontSize.fill(-1);
}

// A number outside the tables is dropped rather than written past their end.
void CExLangManager::NumberedTable::add(int number, int size, const QString& text) {
    if (!inTable(number)) {
        return;
    }
    strings.push_back(text);
    position[static_cast<std::size_t>(number)] = static_cast<int>(strings.size() - 1);
    fontSize[static_cast<std::size_t>(number)] = size;
}

QString CExLangManager::NumberedTable::string(int number) const {
    if (!inTable(number)) {
        return {};
    }
    const int index = position[static_cast<std::size_t>(number)];
    return index < 0 ? QString() : strings[static_cast<std::size_t>(index)];
}

int CExLangManager::NumberedTable::size(int number) const {
    return inTable(number) ? fontSize[static_cast<std::size_t>(number)] : -1;
}

CExLangManager::CExLangManager()
    : m_generalTable(std::make_unique<NumberedTable>()),
      m_mainTable(std::make_unique<NumberedTable>()) {
    m_defaultText.fontSize = 10;
    ClearList();
    m_mainTable->clear();
}

CExLangManager::~CExLangManager() = default;

int CExLangManager::GetLangInfo(const QString& file, QString& name,
                                std::uint16_t& languageId) const {
    const ProfileFile profile = loadProfile(file);
    name = QString::fromStdString(
        profile.readString("Language Info", "LanguageName", "", kNameBufferChars));
    languageId = tachy::skin::parseLanguageId(
        profile.readString("Language Info", "LanguageID", "", kNameBufferChars));
    return 1;
}

QString CExLangManager::GetMapInfo(const QString& file) const {
    const ProfileFile profile = loadProfile(file);
    return QString::fromStdString(
        profile.readString("Language Info", "Map", "", kNameBufferChars));
}

int CExLangManager::LoadFontInfo(const QString& file) {
    const ProfileFile profile = loadProfile(file);
    const char* const section = "Font Info";
    m_font.name = QString::fromStdString(profile.readString(section, "FontName", ""));
    m_font.title = profile.readInt(section, "FontSize_title", 23);
    m_font.normal = profile.readInt(section, "FontSize_normal", 14);
    m_font.group = profile.readInt(section, "FontSize_group", 16);
    m_font.tab = profile.readInt(section, "FontSize_tab", 17);
    m_font.model = profile.readInt(section, "FontSize_model", 13);
    m_font.small = profile.readInt(section, "FontSize_small", 12);
    return 1;
}

void CExLangManager::loadKeyedSection(const QString& file, const char* section) {
    const ProfileFile profile = loadProfile(file);
    for (const ProfileFile::Entry& entry : profile.readSection(section)) {
        tachy::skin::SizedText sized = tachy::skin::splitSizedText(entry.value);
        auto info = std::make_unique<_TAG_STRING_INFO>();
        info->text = QString::fromStdString(sized.text);
        info->fontSize = sized.size;
        m_texts[QString::fromStdString(entry.key)] = std::move(info);
    }
}

int CExLangManager::LoadTextInfo(const QString& file) {
    loadKeyedSection(file, "AppMain");
    loadKeyedSection(file, "AppPopup");
    // The sections the viewer's later tools append to the end of the file.
    for (const char* section : {"ExportTools", "Trip"}) {
        loadKeyedSection(file, section);
    }
    return 1;
}

int CExLangManager::LoadSetupText(const QString& file) {
    loadKeyedSection(file, "AppSettings");
    return 1;
}

void CExLangManager::UnloadTextInfo() {
    m_texts.clear();
}

void CExLangManager::UnloadSetupText() {
    m_texts.clear();
}

const _TAG_STRING_INFO* CExLangManager::GetTextInfo(const QString& key) const {
    SkinLookupLog::Record(SkinLookupLog::Kind::Text, key);
    const auto found = m_texts.find(key);
    return found == m_texts.end() ? &m_defaultText : found->second.get();
}

QString CExLangManager::GetText(const QString& key) const {
    return GetTextInfo(key)->text;
}

int CExLangManager::LoadMainLangString(const QString& file) {
    const ProfileFile profile = loadProfile(file);
    for (const char* section : {"AppMain", "AppPopup"}) {
        for (const ProfileFile::Entry& entry : profile.readSection(section)) {
            const tachy::skin::NumberedText numbered = tachy::skin::splitNumberedText(entry.value);
            m_mainTable->add(numbered.number, numbered.size,
                             QString::fromStdString(numbered.text));
        }
    }
    return 1;
}

QString CExLangManager::GetMainLangString(int number) const {
    return m_mainTable->string(number);
}

int CExLangManager::GetMainFontSize(int number) const {
    return m_mainTable->size(number);
}

QString CExLangManager::GetLangString(int number) const {
    return m_generalTable->string(number);
}

int CExLangManager::GetFontSize(int number) const {
    return m_generalTable->size(number);
}

void CExLangManager::ClearList() {
    m_generalTable->clear();
}
