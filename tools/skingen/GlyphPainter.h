#pragma once
// Line icons of the default skin, drawn as vectors with a 2 px stroke into any square.

#include <QColor>
#include <QRectF>

class QPainter;

namespace tachy::skingen {

enum class Glyph {
    None, PreviousFile, StepBackward, Play, Pause, StepForward, NextFile, FrameStep,
    SpeedDown, SpeedUp, ZoomOut, ZoomIn, FullScreen, RestoreScreen, SwitchChannel, Delete,
    TimeLapse, Flip, Mirror, Folder, MemoryCard, Gear, Printer, Camera, Info, Globe, Close,
    Maximise, Restore, Minimise, Sun, Contrast, List, MapPin, Gauge, Document, Speaker,
    TurnLeft, TurnRight, Pedal, Brake, Leaf, Battery
};

// Draws the glyph centred in the box, its lines in the colour and strokePixels wide.
void paintGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& colour,
                double strokePixels = 2.0);

} // namespace tachy::skingen
