#include "viewer/exports/SnapshotWriter.h"

#include "viewer/exports/SnapshotNames.h"
#include "viewer/exports/SnapshotPictureSet.h"

#include <QImage>
#include <QImageWriter>

namespace viewer::exports {

SnapshotWriter::SnapshotWriter(const QString& folder, const QString& base,
                               const CExLangManager& language)
    : m_folder(folder), m_base(base), m_language(language) {}

bool SnapshotWriter::CanWriteJpeg() {
    return QImageWriter::supportedMimeTypes().contains("image/jpeg");
}

int SnapshotWriter::Save(const SnapshotPictureSet& pictures) {
    m_written.clear();
    m_failed.clear();
    if (!CanWriteJpeg()) {
        return 0;
    }
    const int count = pictures.ChannelCount();
    for (int channel = 0; channel < count; ++channel) {
        if (!pictures.HasPicture(channel)) {
            continue;
        }
        const QString path = SnapshotNames::FilePath(m_folder, m_base, channel, count, m_language);
        if (SaveOne(path, pictures.Picture(channel))) {
            m_written.append(path);
        } else {
            m_failed.append(path);
        }
    }
    return static_cast<int>(m_written.size());
}

bool SnapshotWriter::SaveOne(const QString& path, const QImage& picture) const {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(kQuality);
    return writer.write(picture);
}

} // namespace viewer::exports
