#include "skinres/CExLangManager.h"

#include "platform/text/TextCodec.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using tachy::test::TempFolder;

namespace {

const char* const kLanguage = "[Language Info]\r\n"
                              "LanguageName=Deutsch\r\n"
                              "LanguageID=0x0407\r\n"
                              "Map=www.openstreetmap.org\r\n"
                              "[Font Info]\r\n"
                              "FontName=DejaVu Sans\r\n"
                              "FontSize_title=30\r\n"
                              "FontSize_small=9\r\n"
                              "[AppMain]\r\n"
                              "common ok=14,OK\r\n"
                              "common cancel=14,Abbrechen\r\n"
                              "message 005=12,Datei löschen, dann fortfahren, sofort\r\n"
                              "no comma=Hallo\r\n"
                              "[AppPopup]\r\n"
                              "common ok=16,Einverstanden\r\n"
                              "[AppSettings]\r\n"
                              "setup_title=20,Einstellungen\r\n";

QString write(const TempFolder& folder, const std::string& name, std::string_view bytes) {
    return QString::fromStdString(folder.write(name, bytes).string());
}

} // namespace

TEST(CExLangManager, LanguageInfoGivesNameIdentifierAndMapHost) {
    const TempFolder folder;
    const QString file = write(folder, "GER/lang_ger.ini", kLanguage);
    CExLangManager manager;
    QString name;
    std::uint16_t id = 0;
    EXPECT_EQ(manager.GetLangInfo(file, name, id), 1);
    EXPECT_EQ(name, "Deutsch");
    EXPECT_EQ(id, 0x0407);
    EXPECT_EQ(manager.GetMapInfo(file), "www.openstreetmap.org");

    const QString broken = write(folder, "lang_x.ini", "[Language Info]\nLanguageID=0x04G7\n");
    EXPECT_EQ(manager.GetLangInfo(broken, name, id), 1);
    EXPECT_EQ(name, "");
    EXPECT_EQ(id, 0xFFFF);
    EXPECT_EQ(manager.GetMapInfo(broken), "");
}

TEST(CExLangManager, FontInfoTakesDefaultsForAbsentKeys) {
    const TempFolder folder;
    CExLangManager manager;
    EXPECT_EQ(manager.LoadFontInfo(write(folder, "lang.ini", kLanguage)), 1);
    EXPECT_EQ(manager.GetFontName(), "DejaVu Sans");
    const CExLangManager::FontInfo& font = manager.GetFontInfo();
    EXPECT_EQ(font.title, 30);
    EXPECT_EQ(font.normal, 14);
    EXPECT_EQ(font.group, 16);
    EXPECT_EQ(font.tab, 17);
    EXPECT_EQ(font.model, 13);
    EXPECT_EQ(font.small, 9);

    EXPECT_EQ(manager.LoadFontInfo(QString::fromStdString((folder.path() / "no.ini").string())), 1);
    EXPECT_EQ(manager.GetFontName(), "");
    EXPECT_EQ(manager.GetFontInfo().title, 23);
    EXPECT_EQ(manager.GetFontInfo().small, 12);
}

TEST(CExLangManager, PopupTextReplacesMainTextOfTheSameKey) {
    const TempFolder folder;
    CExLangManager manager;
    EXPECT_EQ(manager.LoadTextInfo(write(folder, "lang.ini", kLanguage)), 1);
    EXPECT_EQ(manager.GetText("common ok"), "Einverstanden");
    EXPECT_EQ(manager.GetTextInfo("common ok")->fontSize, 16);
    EXPECT_EQ(manager.GetText("common cancel"), "Abbrechen");
    // The settings section is not part of the viewer's texts.
    EXPECT_EQ(manager.GetText("setup_title"), "");
}

TEST(CExLangManager, TextKeepsEveryCommaAfterTheFontSize) {
    const TempFolder folder;
    CExLangManager manager;
    manager.LoadTextInfo(write(folder, "lang.ini", kLanguage));
    const _TAG_STRING_INFO* info = manager.GetTextInfo("message 005");
    EXPECT_EQ(info->fontSize, 12);
    EXPECT_EQ(info->text, QString::fromUtf8("Datei löschen, dann fortfahren, sofort"));
    EXPECT_EQ(manager.GetTextInfo("no comma")->fontSize, 0);
    EXPECT_EQ(manager.GetText("no comma"), "Hallo");
}

TEST(CExLangManager, AbsentKeysGiveTheDefaultRecordAndKeysKeepTheirCase) {
    const TempFolder folder;
    CExLangManager manager;
    const _TAG_STRING_INFO* before = manager.GetTextInfo("common ok");
    EXPECT_EQ(before->text, "");
    EXPECT_EQ(before->fontSize, 10);
    manager.LoadTextInfo(write(folder, "lang.ini", kLanguage));
    EXPECT_EQ(manager.GetTextInfo("Common OK"), before);
    EXPECT_EQ(manager.GetText("COMMON OK"), "");
}

TEST(CExLangManager, SetupTextsComeFromTheirOwnSectionAndUnloadEmptiesTheMap) {
    const TempFolder folder;
    const QString file = write(folder, "lang.ini", kLanguage);
    CExLangManager manager;
    EXPECT_EQ(manager.LoadSetupText(file), 1);
    EXPECT_EQ(manager.GetText("setup_title"), "Einstellungen");
    EXPECT_EQ(manager.GetTextCount(), 1u);
    manager.UnloadSetupText();
    EXPECT_EQ(manager.GetTextCount(), 0u);
    EXPECT_EQ(manager.GetText("setup_title"), "");
    // Loading adds to what is loaded.
    manager.LoadTextInfo(file);
    manager.LoadSetupText(file);
    EXPECT_EQ(manager.GetText("setup_title"), "Einstellungen");
    EXPECT_EQ(manager.GetText("common cancel"), "Abbrechen");
    manager.UnloadTextInfo();
    EXPECT_EQ(manager.GetTextCount(), 0u);
}

TEST(CExLangManager, MissingFileLoadsNothingButAnswersOne) {
    CExLangManager manager;
    EXPECT_EQ(manager.LoadTextInfo("/nonexistent/lang.ini"), 1);
    EXPECT_EQ(manager.LoadSetupText("/nonexistent/lang.ini"), 1);
    EXPECT_EQ(manager.LoadMainLangString("/nonexistent/lang.ini"), 1);
    EXPECT_EQ(manager.GetTextCount(), 0u);
    EXPECT_EQ(manager.GetMainLangString(0), "");
}

TEST(CExLangManager, ReadsUtf16LanguageFiles) {
    const TempFolder folder;
    const std::string utf16 = tachy::text::encode(
        "[Language Info]\r\nLanguageName=한국어\r\nLanguageID=0412\r\n[AppSettings]\r\n"
        "common ok=14,확인\r\n",
        tachy::text::Encoding::Utf16Le);
    const QString file = write(folder, "KOR/lang_kor.ini", utf16);
    CExLangManager manager;
    QString name;
    std::uint16_t id = 0;
    manager.GetLangInfo(file, name, id);
    EXPECT_EQ(name, QString::fromUtf8("한국어"));
    EXPECT_EQ(id, 0x0412);
    manager.LoadSetupText(file);
    EXPECT_EQ(manager.GetText("common ok"), QString::fromUtf8("확인"));
}

TEST(CExLangManager, NumberedTextsAreFoundByTheirNumber) {
    const TempFolder folder;
    const QString file = write(folder, "lang.ini",
                               "[AppMain]\r\n"
                               "a=3,11,three\r\n"
                               "b=0,12,zero, with comma\r\n"
                               "c=3,13,three again\r\n"
                               "d=3999,9,last\r\n"
                               "e=4000,9,beyond the table\r\n"
                               "f=-1,9,negative\r\n"
                               "[AppPopup]\r\n"
                               "x=7,15,popup\r\n");
    CExLangManager manager;
    EXPECT_EQ(manager.LoadMainLangString(file), 1);
    EXPECT_EQ(manager.GetMainLangString(0), "zero, with comma");
    EXPECT_EQ(manager.GetMainFontSize(0), 12);
    EXPECT_EQ(manager.GetMainLangString(3), "three again");
    EXPECT_EQ(manager.GetMainFontSize(3), 13);
    EXPECT_EQ(manager.GetMainLangString(7), "popup");
    EXPECT_EQ(manager.GetMainLangString(3999), "last");
    // Numbers without an entry, and numbers outside the table, have no text and no size.
    EXPECT_EQ(manager.GetMainLangString(1), "");
    EXPECT_EQ(manager.GetMainFontSize(1), -1);
    EXPECT_EQ(manager.GetMainLangString(4000), "");
    EXPECT_EQ(manager.GetMainFontSize(-1), -1);
    // The general table is never filled by a load.
    EXPECT_EQ(manager.GetLangString(3), "");
    EXPECT_EQ(manager.GetFontSize(3), -1);
}

TEST(CExLangManager, SectionBeyondTheBufferIsReadOnlyAsFarAsItFits) {
    std::string file = "[AppSettings]\r\n";
    for (int i = 0; i < 1000; ++i) {
        file += "key" + std::to_string(i) + "=10,text number " + std::to_string(i) + "\r\n";
    }
    const TempFolder folder;
    CExLangManager manager;
    manager.LoadSetupText(write(folder, "lang.ini", file));
    EXPECT_EQ(manager.GetText("key0"), "text number 0");
    EXPECT_GT(manager.GetTextCount(), 100u);
    EXPECT_LT(manager.GetTextCount(), 1000u);
    EXPECT_EQ(manager.GetText("key999"), "");
}
