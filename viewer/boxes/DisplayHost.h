#pragma once
// What the display box and the full-screen window share: setting up their display with its
// logos (falling back to the 32-bit display when the preferred one fails), the zoom steps of the
// zoom buttons and keys, and the recovery of a lost display on a timer.

#include <QImage>
#include <QString>

class CExImageManager;
class CWndDisplay;
class QWidget;

namespace viewer {

struct DisplaySetup {
    QString defaultLogo;     // skin image shown while nothing plays
    QString logos[3];        // numbered logos 0 to 2 (empty: not loaded)
    int format = 6;          // picture format asked of the display first
    int fallbackKind = 0;    // CreateDisplay kind of the second attempt
    int fallbackFormat = 4;  // and its picture format
};

// Makes the display on `host`; null when neither attempt works (the host is then unusable).
CWndDisplay* CreateHostDisplay(QWidget* host, const CExImageManager& images, DisplaySetup& setup);

// One zoom step in (256 → 512 at the client centre, then 768, 1024) or out (1024 → 768 → 512
// → 256; `reset` goes straight to 256).
void ZoomIn(CWndDisplay& display);
void ZoomOut(CWndDisplay& display, bool reset);

// A display whose device was lost is made again; true when it was, so the host can redraw.
bool RecoverDisplay(CWndDisplay& display);

} // namespace viewer
