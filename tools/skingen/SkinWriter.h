#pragma once
// Writes the default skin into a folder: the image list, the position file and every picture,
// each at its design size ("img/name.png") and at twice that size ("img/name@2x.png").

#include <QString>

namespace tachy::skingen {

// False, with a line on stderr, when a file cannot be written.
bool writeSkin(const QString& folder);

} // namespace tachy::skingen
