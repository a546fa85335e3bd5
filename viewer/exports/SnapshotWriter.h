#pragma once
// Writes the pictures of a snapshot as JPEG files, one per channel that has a picture, through
// Qt's image writer at quality 90.

#include <QString>
#include <QStringList>

class CExLangManager;
class QImage;

namespace viewer::exports {

class SnapshotPictureSet;

class SnapshotWriter {
public:
    static constexpr int kQuality = 90;

    SnapshotWriter(const QString& folder, const QString& base, const CExLangManager& language);

    // How many files were written; 0 when no JPEG writer is available or nothing could be
    // written. A channel without a picture is skipped.
    int Save(const SnapshotPictureSet& pictures);

    // The files written by the last Save, and the ones it could not write.
    const QStringList& Written() const { return m_written; }
    const QStringList& Failed() const { return m_failed; }

    static bool CanWriteJpeg();

private:
    bool SaveOne(const QString& path, const QImage& picture) const;

    QString m_folder;
    QString m_base;
    const CExLangManager& m_language; // borrowed; outlives the writer
    QStringList m_written;
    QStringList m_failed;
};

} // namespace viewer::exports
