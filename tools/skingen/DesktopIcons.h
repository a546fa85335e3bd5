#pragma once
// The programs' icons for the desktop's menus, in the freedesktop icon theme's sizes: the
// viewer's is the skin's logo, the settings program's the same logo with a gear.

#include <QImage>
#include <QString>

namespace tachy::skingen {

// The sizes the icon theme's "hicolor" folders are written for.
inline constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage viewerIcon(int side);
QImage setupIcon(int side);

// Writes hicolor/<N>x<N>/apps/<name>.png for both programs into `folder`.
bool writeDesktopIcons(const QString& folder);

} // namespace tachy::skingen
