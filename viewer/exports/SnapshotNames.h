#pragma once
// How snapshot files are named and where they go: a base from the frame's local time, one file
// per channel named by the language's camera text, and the folder they are written to.

#include <QString>

#include <cstdint>

class CExLangManager;

namespace viewer::exports {

class SnapshotNames {
public:
    // "YYYYMMDD_HHMMSS_mmm" of the frame's second in local time and its millisecond; empty
    // when the second has no calendar date.
    static QString BaseName(std::int64_t second, int millisecond);
    // The pattern the dialog shows for a base: "<base>_*.jpg".
    static QString Pattern(const QString& base);
    // The language key naming a channel among `channelCount` channels ("common camera0_1").
    static QString CameraKey(int channel, int channelCount);
    // "<folder>/<base>_<camera text>.jpg".
    static QString FilePath(const QString& folder, const QString& base, const QString& camera);
    static QString FilePath(const QString& folder, const QString& base, int channel,
                            int channelCount, const CExLangManager& language);
    // The last snapshot folder while it names an existing folder (at least 3 characters),
    // otherwise the backup folder.
    static QString TargetFolder(const QString& lastFolder, const QString& backupFolder);
};

} // namespace viewer::exports
