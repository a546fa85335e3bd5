// The default skin and the three languages against the code that looks names up in them, and
// against each other.

#include "platform/profile/ProfileFile.h"
#include "skinres/CExImageManager.h"
#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"

#include "tests/skin/SkinNameExtractor.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>

using tachy::ProfileFile;
using tachy::test::SkinNames;

namespace {

const std::filesystem::path kData = TACHY_DATA_DIR;
const QString kSkin = QStringLiteral(TACHY_DATA_DIR "/skin");
const char* const kLanguages[] = {"ENG/lang_eng.ini", "GER/lang_ger.ini", "KOR/lang_kor.ini"};
const char* const kTextSections[] = {"AppMain", "AppPopup", "AppSettings"};

QString languageFile(const char* relative) {
    return QString::fromStdString((kData / "lang" / relative).string());
}

// Entries of a section counted line by line, without the profile reader's buffer.
int countRawEntries(const std::filesystem::path& file, const std::string& section) {
    const std::string text = tachy::test::readAll(file);
    int count = 0;
    bool inside = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
        } else if (inside && !line.empty() && line.front() != ';') {
            ++count;
        }
    }
    return count;
}

std::string placeholders(const std::string& text) {
    static const std::regex pattern(R"(%[-+ #0]*[0-9]*(?:\.[0-9]+)?[a-zA-Z%])");
    std::string found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        found += it->str();
    }
    return found;
}

} // namespace

TEST(SkinNameExtractor, FindsEveryCallForm) {
    const SkinNames names = tachy::test::extractSkinNames(
        R"(images.GetImageFile("HD-Bg"); m_images->GetBitmapFile(QStringLiteral("screen_full"));
           GetIconFile(u"app_icon"); pos.GetWinPos( QString("Main Frame") );
           lang.GetTextInfo("common ok")->fontSize; lang.GetText(QLatin1String("tab map"));
           SkinStateImages::fromSkin(*m_images, "PlayForward_"); GetText(key); // no literal
           GetWinPos("VideoFrame%02d");)",
        false);
    EXPECT_EQ(names.images, (std::set<std::string>{"HD-Bg", "PlayForward_normal",
                                                    "PlayForward_over", "PlayForward_press"}));
    EXPECT_EQ(names.bitmaps, std::set<std::string>{"screen_full"});
    EXPECT_EQ(names.icons, std::set<std::string>{"app_icon"});
    EXPECT_EQ(names.positions, (std::set<std::string>{"Main Frame", "VideoFrame%02d"}));
    EXPECT_EQ(names.viewerTexts, (std::set<std::string>{"common ok", "tab map"}));
    EXPECT_TRUE(names.settingsTexts.empty());
    EXPECT_EQ(tachy::test::extractSkinNames(R"(GetText("setup_title"))", true).settingsTexts,
              std::set<std::string>{"setup_title"});
}

TEST(SkinCompleteness, DefaultSkinHasEveryImageAndElementTheCodeLooksUp) {
    tachy::test::testApplication();
    const SkinNames names = tachy::test::scanSourceTree(TACHY_SOURCE_DIR);
    CExImageManager images;
    ASSERT_EQ(images.LoadImageFile(kSkin, kSkin + "/images.ini"), 1);
    ASSERT_EQ(images.LoadBitmapFile(kSkin, kSkin + "/images.ini"), 1);
    ASSERT_EQ(images.LoadIconFile(kSkin, kSkin + "/images.ini"), 1);
    CExWndPos positions;
    positions.LoadInfo(kSkin, kSkin + "/position.ini");
    const _WIN_POS* absent = positions.GetWinPos(QStringLiteral("\x01 no such element"));
    for (const std::string& name : names.images) {
        const QImage* image = images.GetImageFile(QString::fromStdString(name));
        EXPECT_TRUE(image != nullptr && !image->isNull()) << "image " << name;
    }
    for (const std::string& name : names.bitmaps) {
        EXPECT_NE(images.GetBitmapFile(QString::fromStdString(name)), nullptr) << "bitmap " << name;
    }
    for (const std::string& name : names.icons) {
        EXPECT_NE(images.GetIconFile(QString::fromStdString(name)), nullptr) << "icon " << name;
    }
    for (const std::string& name : names.positions) {
        EXPECT_NE(positions.GetWinPos(QString::fromStdString(name)), absent) << "element " << name;
    }
}

TEST(SkinCompleteness, EveryLanguageHasEveryKeyTheCodeLooksUp) {
    const SkinNames names = tachy::test::scanSourceTree(TACHY_SOURCE_DIR);
    for (const char* language : kLanguages) {
        CExLangManager viewer;
        viewer.LoadTextInfo(languageFile(language));
        CExLangManager settings;
        settings.LoadSetupText(languageFile(language));
        const _TAG_STRING_INFO* absent = viewer.GetTextInfo(QStringLiteral("\x01 no such key"));
        for (const std::string& key : names.viewerTexts) {
            EXPECT_NE(viewer.GetTextInfo(QString::fromStdString(key)), absent)
                << language << ": " << key;
        }
        const _TAG_STRING_INFO* absentSetting =
            settings.GetTextInfo(QStringLiteral("\x01 no such key"));
        for (const std::string& key : names.settingsTexts) {
            EXPECT_NE(settings.GetTextInfo(QString::fromStdString(key)), absentSetting)
                << language << ": " << key;
        }
    }
}

TEST(SkinCompleteness, LanguagesCarryTheSameKeysAndPlaceholdersAsEnglish) {
    const ProfileFile english = ProfileFile::load(kData / "lang" / kLanguages[0]);
    for (const char* language : kLanguages) {
        const std::filesystem::path file = kData / "lang" / language;
        const ProfileFile profile = ProfileFile::load(file);
        ASSERT_TRUE(profile.exists()) << language;
        CExLangManager manager;
        QString name;
        std::uint16_t id = 0;
        manager.GetLangInfo(QString::fromStdString(file.string()), name, id);
        EXPECT_FALSE(name.isEmpty()) << language;
        EXPECT_NE(id, 0) << language;
        EXPECT_NE(id, 0xFFFF) << language;
        for (const char* section : kTextSections) {
            const auto entries = profile.readSection(section);
            // Nothing is lost beyond the reader's section buffer.
            EXPECT_EQ(static_cast<int>(entries.size()), countRawEntries(file, section))
                << language << " [" << section << "]";
            EXPECT_EQ(entries.size(), english.readSection(section).size())
                << language << " [" << section << "]";
            for (const auto& entry : english.readSection(section)) {
                const std::string value = profile.readString(section, entry.key, "\x01");
                ASSERT_NE(value, "\x01") << language << " lacks " << entry.key;
                const std::string text = value.substr(value.find(',') + 1);
                EXPECT_FALSE(text.empty()) << language << ": " << entry.key;
                EXPECT_EQ(placeholders(text), placeholders(entry.value.substr(
                                                  entry.value.find(',') + 1)))
                    << language << ": " << entry.key;
            }
        }
    }
}

TEST(SkinCompleteness, EveryListedPictureLoadsAndNothingIsCutOff) {
    tachy::test::testApplication();
    const std::filesystem::path list = kData / "skin" / "images.ini";
    const ProfileFile profile = ProfileFile::load(list);
    CExImageManager images;
    images.LoadImageFile(kSkin, kSkin + "/images.ini");
    for (const char* section : {"HD-png", "HD-bmp", "HD-icon"}) {
        const auto entries = profile.readSection(section);
        EXPECT_FALSE(entries.empty()) << section;
        EXPECT_EQ(static_cast<int>(entries.size()), countRawEntries(list, section)) << section;
    }
    for (const auto& entry : profile.readSection("HD-png")) {
        const QImage* image = images.GetImageFile(QString::fromStdString(entry.key));
        ASSERT_NE(image, nullptr) << entry.key;
        EXPECT_FALSE(image->isNull()) << entry.key << " = " << entry.value;
    }
    const auto sections = ProfileFile::load(kData / "skin" / "position.ini").sectionNames();
    CExWndPos positions;
    positions.LoadInfo(kSkin, kSkin + "/position.ini");
    EXPECT_EQ(positions.GetCount(), sections.size());
    EXPECT_EQ(positions.GetWinPos("Main Frame")->width, 1280);
    EXPECT_EQ(positions.GetWinPos("Main Frame")->height, 800);
}

TEST(SkinCompleteness, GeneratorReproducesTheCommittedSkin) {
    const tachy::test::TempFolder folder;
    bool ok = false;
    tachy::test::runCommand(std::string(TACHY_SKINGEN) + " '" + folder.path().string() + "'", &ok);
    ASSERT_TRUE(ok);
    for (const char* file : {"images.ini", "position.ini"}) {
        EXPECT_EQ(tachy::test::readAll(folder.path() / file),
                  tachy::test::readAll(kData / "skin" / file))
            << file << " differs from what skingen draws: run `cmake --build . --target skin`";
    }
    std::set<std::string> generated;
    std::set<std::string> committed;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path() / "img")) {
        generated.insert(entry.path().filename().string());
    }
    for (const auto& entry : std::filesystem::directory_iterator(kData / "skin" / "img")) {
        committed.insert(entry.path().filename().string());
    }
    EXPECT_EQ(generated, committed);
}
