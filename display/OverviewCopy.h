#pragma once
// Copies between the picture surface and the overview surface of the display's renderer: parts
// of the picture (all planes), and the strips round a rectangle where the overview's red frame
// was drawn, so that a frame can be moved without copying the whole picture again.

#include "platform/video/VideoSurface.h"

#include <vector>

namespace tachy::display {

// Copies `area` (in picture pixels, clipped to both surfaces) of every plane; for YV12 the
// chroma samples that cover it.
void copyPictureArea(const video::VideoSurface& picture, video::VideoSurface& overview,
                     const video::VideoRect& area);

// The four strips `margin` pixels to either side of the edges of `rect`.
std::vector<video::VideoRect> outlineStrips(const video::VideoRect& rect, int margin);

} // namespace tachy::display
