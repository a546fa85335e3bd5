// Reads arbitrary bytes as a language file and as a skin position file, every way the programs
// read them: the language's name, identifier and map host, its font record, the keyed texts of
// the viewer and of the settings program, the numbered text tables, and every element of the
// position file with its rectangle, anchors and colours. Traps when a lookup answers outside
// what was loaded.

#include "skinres/CExLangManager.h"
#include "skinres/CExWndPos.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

QString scratchPath() {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return QString::fromStdString(
        (base / ("tachy-fuzz-skin-" + std::to_string(::getpid()) + ".ini")).string());
}

void readLanguage(const QString& file) {
    CExLangManager language;
    QString name;
    std::uint16_t id = 0;
    require(language.GetLangInfo(file, name, id) == 1);
    language.GetMapInfo(file);
    language.LoadFontInfo(file);
    language.LoadTextInfo(file);
    language.LoadSetupText(file);
    language.LoadMainLangString(file);
    const std::size_t texts = language.GetTextCount();
    for (const char* key : {"IDS_PLAY", "IDS_OK", "", "AppMain", "LanguageName"}) {
        require(language.GetTextInfo(QString::fromLatin1(key)) != nullptr);
    }
    for (int number :
         {-1, 0, 1, 100, 1000, CExLangManager::kTableSize - 1, CExLangManager::kTableSize}) {
        language.GetMainLangString(number);
        language.GetMainFontSize(number);
        language.GetLangString(number);
        require(language.GetFontSize(number) == -1);
    }
    // Loading the same file again replaces texts; it adds no new keys.
    language.LoadTextInfo(file);
    language.LoadSetupText(file);
    require(language.GetTextCount() == texts);
    language.UnloadTextInfo();
    require(language.GetTextCount() == 0);
}

void readPositions(const QString& file) {
    CExWndPos positions;
    require(positions.LoadInfo(QString(), file) == 1);
    for (const char* section : {"Main", "PlayBar", "", "x"}) {
        const _WIN_POS* pos = positions.GetWinPos(QString::fromLatin1(section));
        require(pos != nullptr);
    }
    positions.UnloadInfo();
    require(positions.GetCount() == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString path = scratchPath();
    const std::string local = path.toStdString();
    FILE* file = std::fopen(local.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    readLanguage(path);
    readPositions(path);
    std::remove(local.c_str());
    return 0;
}
