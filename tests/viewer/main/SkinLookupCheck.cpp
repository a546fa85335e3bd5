// While the window tests run, every name the viewer looks up in the skin and the language is
// recorded; at the end of the run (each test runs in a process of its own under ctest, all of
// them in one when the program is run by hand) each must exist in the default skin and in every
// language we ship.

#include "platform/profile/ProfileFile.h"
#include "skinres/SkinLookupLog.h"

#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

const std::filesystem::path kData = TACHY_DATA_DIR;
const char* const kLanguages[] = {"ENG/lang_eng.ini", "GER/lang_ger.ini", "KOR/lang_kor.ini"};

std::set<std::string> keysOf(const tachy::ProfileFile& file, const char* section) {
    std::set<std::string> keys;
    for (const auto& entry : file.readSection(section)) {
        keys.insert(entry.key);
    }
    return keys;
}

const char* kindName(SkinLookupLog::Kind kind) {
    switch (kind) {
    case SkinLookupLog::Kind::Image:
        return "image";
    case SkinLookupLog::Kind::Bitmap:
        return "bitmap";
    case SkinLookupLog::Kind::Icon:
        return "icon";
    case SkinLookupLog::Kind::Position:
        return "position";
    case SkinLookupLog::Kind::Text:
        return "text";
    }
    return "?";
}

class SkinLookupCheck : public testing::Environment {
public:
    void SetUp() override { SkinLookupLog::SetRecording(true); }

    void TearDown() override {
        SkinLookupLog::SetRecording(false);
        const auto images = tachy::ProfileFile::load(kData / "skin" / "images.ini");
        const auto positions = tachy::ProfileFile::load(kData / "skin" / "position.ini");
        const std::set<std::string> png = keysOf(images, "HD-png");
        const std::set<std::string> bmp = keysOf(images, "HD-bmp");
        const std::set<std::string> icon = keysOf(images, "HD-icon");
        std::vector<std::set<std::string>> texts;
        for (const char* language : kLanguages) {
            const auto file = tachy::ProfileFile::load(kData / "lang" / language);
            std::set<std::string> keys;
            // Every section the viewer reads its texts from, the later tools' too.
            for (const char* section :
                 {"AppMain", "AppPopup", "AppSettings", "ExportTools", "Trip"}) {
                const std::set<std::string> part = keysOf(file, section);
                keys.insert(part.begin(), part.end());
            }
            texts.push_back(std::move(keys));
        }
        const auto recorded = SkinLookupLog::Recorded();
        for (const auto& [kind, name] : recorded) {
            const std::string key = name.toStdString();
            if (kind == SkinLookupLog::Kind::Text) {
                for (std::size_t language = 0; language < texts.size(); ++language) {
                    EXPECT_TRUE(texts[language].count(key) != 0)
                        << kLanguages[language] << " has no text \"" << key << "\"";
                }
                continue;
            }
            const bool found = kind == SkinLookupLog::Kind::Image    ? png.count(key) != 0
                               : kind == SkinLookupLog::Kind::Bitmap ? bmp.count(key) != 0
                               : kind == SkinLookupLog::Kind::Icon   ? icon.count(key) != 0
                                                                     : positions.hasSection(key);
            EXPECT_TRUE(found) << "the skin has no " << kindName(kind) << " \"" << key << "\"";
        }
        std::printf("skin and language look-ups checked: %zu names\n", recorded.size());
    }
};

[[maybe_unused]] testing::Environment* const g_check = testing::AddGlobalTestEnvironment(new SkinLookupCheck);

} // namespace
