#pragma once
// Finds the skin image names, position elements and language keys that source code looks up
// with a literal name: calls of CExImageManager, CExWndPos, CExLangManager and the skinned
// buttons' SkinStateImages::fromSkin (whose base gets the suffixes normal, over and press).

#include <filesystem>
#include <set>
#include <string>
#include <string_view>

namespace tachy::test {

struct SkinNames {
    std::set<std::string> images;
    std::set<std::string> bitmaps;
    std::set<std::string> icons;
    std::set<std::string> positions;
    std::set<std::string> viewerTexts;   // sections AppMain and AppPopup
    std::set<std::string> settingsTexts; // section AppSettings

    void merge(const SkinNames& other);
};

// The names in one source text; texts count as settings texts when settingsProgram is set.
SkinNames extractSkinNames(std::string_view source, bool settingsProgram);

// Every .h and .cpp file under the root, except tests, build trees and the skin generator
// (which writes the names rather than looking them up). Files under setup/ and wizard/ belong to
// the programs that read the settings texts.
SkinNames scanSourceTree(const std::filesystem::path& root);

} // namespace tachy::test
