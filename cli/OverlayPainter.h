#pragma once
// Draws a line of text (the time, speed and position of the driving data) onto the luma of a
// YUV 4:2:0 picture with a small built-in 5x7 bitmap font: white characters on a dark band
// along the picture's bottom edge, scaled up with the picture's height.

#include "cli/DrivingTrack.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
}

namespace tachy::cli {

class OverlayPainter {
public:
    // The driving data the texts come from, in time order.
    void SetSamples(std::vector<DrivingSample> samples) { m_samples = std::move(samples); }

    // "2024-02-29 13:05:25  57 km/h  37.56123N 126.97812E": the time and the driving data of the
    // last sample at or before `timeMs` (only the time when there is none).
    std::string TextAt(std::int64_t timeMs) const;
    void Draw(AVFrame& picture, const std::string& text) const;

private:
    static const std::uint8_t* Glyph(char c);

    std::vector<DrivingSample> m_samples;
};

} // namespace tachy::cli
