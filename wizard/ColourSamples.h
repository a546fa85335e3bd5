#pragma once
// The three colours the wizard samples from its window (at 5, 50 and 95 per cent) and what they
// say: colour mode 1 when the three are equal, else 0, and whether any of them is near the test
// picture's colour as either YUV conversion (BT.709 or BT.601, studio range) gives it.

#include <QRgb>
#include <array>

class ColourSamples {
public:
    // Each channel of a sample within this of a conversion counts as near.
    static constexpr int kTolerance = 24;

    // The slot of a sample taken at `counter`: below 20 the first, 70 or more the third, else
    // the second.
    static int SlotFor(int counter);
    void Put(int counter, QRgb pixel);
    QRgb Sample(int slot) const { return m_samples[static_cast<std::size_t>(slot)]; }

    // 1 when the three samples are equal, else 0.
    int ColorMode() const;
    // True when a sample is near the test colour in one of the conversions.
    bool NearTestColour() const;

    static QRgb TestColourBt709();
    static QRgb TestColourBt601();
    static bool Near(QRgb actual, QRgb expected, int tolerance = kTolerance);

private:
    std::array<QRgb, 3> m_samples{};
};
