#include "tests/skin/SkinNameExtractor.h"

#include "tests/support/TempFolder.h"

#include <regex>

namespace tachy::test {

namespace {

// A literal first argument, bare or wrapped in QStringLiteral, QString or QLatin1String.
const std::string kLiteral =
    R"(\s*(?:QStringLiteral\s*\(\s*|QString\s*\(\s*|QLatin1String\s*\(\s*|u)?"([^"\\]*)\")";

void collect(std::string_view source, const std::string& call, std::set<std::string>& out,
             const char* const* suffixes = nullptr) {
    const std::regex pattern(call + kLiteral);
    const std::string text(source);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1].str();
        if (suffixes == nullptr) {
            out.insert(name);
            continue;
        }
        for (const char* const* suffix = suffixes; *suffix != nullptr; ++suffix) {
            out.insert(name + *suffix);
        }
    }
}

bool skipped(const std::filesystem::path& relative) {
    const std::string first = relative.begin()->string();
    return first == "tests" || first == "build" || first.rfind("build-", 0) == 0 ||
           first.front() == '.' || first == "data" ||
           relative.string().rfind("tools/skingen", 0) == 0;
}

} // namespace

void SkinNames::merge(const SkinNames& other) {
    images.insert(other.images.begin(), other.images.end());
    bitmaps.insert(other.bitmaps.begin(), other.bitmaps.end());
    icons.insert(other.icons.begin(), other.icons.end());
    positions.insert(other.positions.begin(), other.positions.end());
    viewerTexts.insert(other.viewerTexts.begin(), other.viewerTexts.end());
    settingsTexts.insert(other.settingsTexts.begin(), other.settingsTexts.end());
}

SkinNames extractSkinNames(std::string_view source, bool settingsProgram) {
    static const char* const kStates[] = {"normal", "over", "press", nullptr};
    SkinNames names;
    collect(source, R"(\bGetImageFile\s*\()", names.images);
    collect(source, R"(\bfromSkin\s*\([^,()]*,)", names.images, kStates);
    collect(source, R"(\bGetBitmapFile\s*\()", names.bitmaps);
    collect(source, R"(\bGetIconFile\s*\()", names.icons);
    collect(source, R"(\bGetWinPos\s*\()", names.positions);
    collect(source, R"(\bGetText(?:Info)?\s*\()",
            settingsProgram ? names.settingsTexts : names.viewerTexts);
    return names;
}

SkinNames scanSourceTree(const std::filesystem::path& root) {
    SkinNames names;
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        const std::filesystem::path relative = it->path().lexically_relative(root);
        if (it->is_directory() && skipped(relative)) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string extension = it->path().extension().string();
        if (!it->is_regular_file() || (extension != ".cpp" && extension != ".h")) {
            continue;
        }
        const std::string top = relative.begin()->string();
        names.merge(extractSkinNames(readAll(it->path()), top == "setup" || top == "wizard"));
    }
    return names;
}

} // namespace tachy::test
