#pragma once
// Where a picture goes in a display: screen layouts, fitting to the client area, zoom and pan,
// clipping of the zoomed picture to the client area, the overview's place, and the mapping of the
// 0 to 100 picture controls into a ProcAmp range. Pure functions of their arguments.

#include "platform/video/VideoTypes.h"

#include <vector>

namespace tachy::display {

using video::VideoRect;

// The screens of layout 0 to 4 (1, 2, 4, 8 or 16) in a client area; empty for other values.
std::vector<VideoRect> layoutRects(int layout, int clientWidth, int clientHeight);

struct FitOptions {
    bool originalSize = false;
    unsigned long aspectMode = 0x10000;  // bit 16: aspect handling on; low 16 bits: the mode
    bool keepRatio = false;
    int wideFlag = 1;  // 1 when the picture is wider than 1.7:1, else 2
};

// The largest rectangle of ratio width:height inside `client`, centred.
VideoRect fitRatio(const VideoRect& client, int ratioWidth, int ratioHeight);
VideoRect fitPicture(const VideoRect& client, int pictureWidth, int pictureHeight, const FitOptions& options);

struct ZoomState {
    int level = 256;  // 1/256 units, 64 to 1024
    int pointX = -1;
    int pointY = -1;
    VideoRect zoomed;      // the last zoomed rectangle
    VideoRect lastClient;  // the client area it was computed for
    int panX = 0;          // pending pan, consumed by the next zoom
    int panY = 0;
};

// The zoomed rectangle for this draw; updates the state (zoomed rectangle, client, pan).
VideoRect applyZoom(const VideoRect& client, const VideoRect& fitted, ZoomState& state);

struct ClippedBlit {
    VideoRect source;  // in picture pixels
    VideoRect dest;    // in client pixels
};
// The part of a zoomed picture inside the client area, and the matching part of the picture.
ClippedBlit clipToClient(const VideoRect& zoomed, const VideoRect& client, int pictureWidth, int pictureHeight);

// The overview's rectangle: a quarter of the client's width, the picture's ratio, at `corner`
// (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) with margins of 20/768 and 20/432
// of the client; any other corner keeps the place of `previous` (its size follows the picture).
VideoRect overviewRect(const VideoRect& client, int pictureWidth, int pictureHeight, int corner,
                       const VideoRect& previous);

// A picture control value 0 to 100 in a ProcAmp range; contrast never goes below min + 6553.
int mapProcAmp(int value, const video::ProcAmpRange& range, bool contrast);

} // namespace tachy::display
