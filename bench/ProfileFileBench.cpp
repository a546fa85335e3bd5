// Loading a large language file and reading every text of it, as the skin library does at
// start-up: our ProfileFile against Qt's QSettings in INI format on the same file.

#include "bench/BenchTimer.h"
#include "platform/profile/ProfileFile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>

namespace {

constexpr int kSections = 4;
constexpr int kKeysPerSection = 800;

std::string keyName(int section, int key) {
    return "text_" + std::to_string(section) + "_" + std::to_string(key);
}

void writeLanguageFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    for (int section = 0; section < kSections; ++section) {
        out << "[Section" << section << "]\r\n";
        for (int key = 0; key < kKeysPerSection; ++key) {
            out << keyName(section, key) << "=14,Text number " << key << " of the viewer\r\n";
        }
    }
}

} // namespace

int main() {
    QTemporaryDir folder;
    const std::string path = folder.filePath("lang_bench.ini").toStdString();
    writeLanguageFile(path);
    std::size_t checksum = 0;

    const double ours = tachy::bench::medianMilliseconds(15, [&] {
        const tachy::ProfileFile profile = tachy::ProfileFile::load(path);
        for (int section = 0; section < kSections; ++section) {
            const std::string name = "Section" + std::to_string(section);
            for (int key = 0; key < kKeysPerSection; ++key) {
                checksum += profile.readString(name, keyName(section, key), "").size();
            }
        }
    });
    const double qt = tachy::bench::medianMilliseconds(15, [&] {
        QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
        for (int section = 0; section < kSections; ++section) {
            settings.beginGroup(QString("Section%1").arg(section));
            for (int key = 0; key < kKeysPerSection; ++key) {
                checksum += static_cast<std::size_t>(
                    settings.value(QString::fromStdString(keyName(section, key))).toString().size());
            }
            settings.endGroup();
        }
    });
    tachy::bench::report("profile_load_and_read_3200_keys", ours, qt, "QSettings IniFormat");
    return checksum == 0 ? EXIT_FAILURE : EXIT_SUCCESS;
}
