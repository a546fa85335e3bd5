#include "tools/skingen/SkinWriter.h"

#include "tools/skingen/ControlPainter.h"
#include "tools/skingen/SkinCatalogue.h"
#include "tools/skingen/SkinLayout.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>

#include <cstdio>

namespace tachy::skingen {

namespace {

bool writeText(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writePicture(const QString& path, const QImage& image) {
    QImageWriter writer(path, "png");
    writer.setQuality(0);  // for PNG: the strongest compression
    if (!writer.write(image.convertToFormat(QImage::Format_ARGB32))) {
        std::fprintf(stderr, "skingen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

bool writeSkin(const QString& folder) {
    const QDir root(folder);
    if (!root.mkpath(QStringLiteral("img"))) {
        std::fprintf(stderr, "skingen: cannot create %s/img\n", qPrintable(folder));
        return false;
    }
    bool ok = writeText(root.filePath(QStringLiteral("images.ini")), imageListText());
    ok = writeText(root.filePath(QStringLiteral("position.ini")), positionFileText()) && ok;
    QString previous;
    for (const SkinPicture& picture : skinPictures()) {
        const QString file = pictureFile(picture.name);
        if (file == previous) {
            continue;
        }
        previous = file;
        ok = writePicture(root.filePath(file), picture.draw()) && ok;
        const PictureScale doubled(2);
        ok = writePicture(root.filePath(doublePictureFile(picture.name)), picture.draw()) && ok;
    }
    return ok;
}

} // namespace tachy::skingen
