#include "viewer/exports/SnapshotNames.h"

#include "skinres/CExLangManager.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <ctime>

namespace viewer::exports {

QString SnapshotNames::BaseName(std::int64_t second, int millisecond) {
    const auto time = static_cast<std::time_t>(second);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return {};
    }
    std::array<char, 32> text{};
    if (std::strftime(text.data(), text.size(), "%Y%m%d_%H%M%S", &local) == 0) {
        return {};
    }
    return QString::asprintf("%s_%03d", text.data(), millisecond);
}

QString SnapshotNames::Pattern(const QString& base) {
    return base + QStringLiteral("_*.jpg");
}

QString SnapshotNames::CameraKey(int channel, int channelCount) {
    return QString::asprintf("common camera%d_%d", channel, channelCount);
}

QString SnapshotNames::FilePath(const QString& folder, const QString& base, const QString& camera) {
    return QDir(folder).filePath(base + QLatin1Char('_') + camera + QStringLiteral(".jpg"));
}

QString SnapshotNames::FilePath(const QString& folder, const QString& base, int channel,
                                int channelCount, const CExLangManager& language) {
    return FilePath(folder, base, language.GetText(CameraKey(channel, channelCount)));
}

QString SnapshotNames::TargetFolder(const QString& lastFolder, const QString& backupFolder) {
    if (lastFolder.size() >= 3 && QFileInfo(lastFolder).isDir()) {
        return lastFolder;
    }
    return backupFolder;
}

} // namespace viewer::exports
