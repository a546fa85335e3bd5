#include "skinctl/SkinStateImages.h"

#include "skinres/CExImageManager.h"

namespace tachy::skinctl {

namespace {

QImage imageOrNull(const CExImageManager& images, const QString& name) {
    const QImage* image = images.GetImageFile(name);
    return image == nullptr ? QImage() : *image;
}

} // namespace

SkinStateImages SkinStateImages::fromSkin(const CExImageManager& images, const QString& base) {
    return {imageOrNull(images, base + QStringLiteral("normal")),
            imageOrNull(images, base + QStringLiteral("over")),
            imageOrNull(images, base + QStringLiteral("press"))};
}

} // namespace tachy::skinctl
