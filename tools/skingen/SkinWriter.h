#pragma once
// Writes the default skin into a folder: the image list, the position file and every picture.

#include <QString>

namespace tachy::skingen {

// False, with a line on stderr, when a file cannot be written.
bool writeSkin(const QString& folder);

} // namespace tachy::skingen
