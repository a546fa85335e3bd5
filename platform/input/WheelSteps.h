#pragma once
// Turns wheel events into whole steps the way desktop toolkits do: a mouse wheel's notch is
// 120 units of angle and one step, while a touchpad or a high-resolution wheel sends many small
// deltas that add up to the same. The remainder is kept between events, so that twelve events of
// 10 make one step instead of twelve steps or none, and dropped when the direction turns.

#include <QPoint>
#include <QWheelEvent>

namespace tachy::input {

class WheelSteps {
public:
    static constexpr int kNotch = 120;  // angle units per step (eighths of a degree, 15 degrees)

    // Whole steps (positive away from the user, scrolling up) the vertical delta of the event
    // completes; a touchpad that gives only pixel deltas counts `pixelsPerStep` pixels a step.
    int Take(const QWheelEvent& event, int pixelsPerStep = 40) {
        int delta = event.angleDelta().y();
        if (delta == 0 && event.pixelDelta().y() != 0 && pixelsPerStep > 0) {
            delta = event.pixelDelta().y() * kNotch / pixelsPerStep;
        }
        return Add(delta);
    }

    // The same for a plain delta in angle units.
    int Add(int delta) {
        if ((delta > 0 && m_pending < 0) || (delta < 0 && m_pending > 0)) {
            m_pending = 0;
        }
        m_pending += delta;
        const int steps = m_pending / kNotch;
        m_pending -= steps * kNotch;
        return steps;
    }

    void Reset() { m_pending = 0; }

private:
    int m_pending = 0;
};

} // namespace tachy::input
