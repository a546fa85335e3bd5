#pragma once
// The three pictures of a skinned control: normal, over (mouse above it) and pressed (also
// the checked state of check and radio-like buttons).

#include <QImage>
#include <QString>

class CExImageManager;

namespace tachy::skinctl {

struct SkinStateImages {
    QImage normal;
    QImage over;
    QImage pressed;

    // The skin's images named base + "normal", base + "over" and base + "press"; an image the
    // skin does not have stays null.
    static SkinStateImages fromSkin(const CExImageManager& images, const QString& base);
};

} // namespace tachy::skinctl
