#pragma once
// The play bar's speed choice: four steps (0.5x, 1.0x, 1.5x, 2.0x) and the time-lapse switch,
// which plays a time-lapse recording at 1/15 of the chosen speed so that it runs in real time.
// The speed the engine gets is the product of the two factors.

namespace viewer::playbar {

class PlaySpeed {
public:
    static constexpr int kSlowestStep = 1;
    static constexpr int kFastestStep = 4;
    static constexpr int kNormalStep = 2;
    static constexpr double kTimeLapseFactor = 1.0 / 15.0;

    // The factor of a step, 1.0 for a step outside 1 to 4.
    static double FactorOfStep(int step);

    // One step faster or slower; false (and nothing changes) at the end of the range.
    bool Faster();
    bool Slower();
    // Chooses a step; false when it is outside 1 to 4 or already chosen.
    bool Select(int step);
    void SetTimeLapse(bool on) { m_timeLapse = on; }

    int Step() const { return m_step; }
    double SpeedFactor() const { return FactorOfStep(m_step); }
    double TimeLapseFactor() const { return m_timeLapse ? kTimeLapseFactor : 1.0; }
    bool IsTimeLapse() const { return m_timeLapse; }
    double Applied() const { return SpeedFactor() * TimeLapseFactor(); }

private:
    int m_step = kNormalStep;
    bool m_timeLapse = false;
};

} // namespace viewer::playbar
