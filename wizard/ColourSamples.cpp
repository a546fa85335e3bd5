#include "wizard/ColourSamples.h"

#include "platform/video/ColourMath.h"
#include "wizard/TestPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// BT.601 studio-range YCbCr to RGB, the conversion a picture path that ignores BT.709 uses.
QRgb bt601ToRgb(int y, int cb, int cr) {
    const double luma = 1.164 * (y - 16);
    const auto channel = [](double value) {
        return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
    };
    return qRgb(channel(luma + 1.596 * (cr - 128)),
                channel(luma - 0.392 * (cb - 128) - 0.813 * (cr - 128)),
                channel(luma + 2.017 * (cb - 128)));
}

} // namespace

int ColourSamples::SlotFor(int counter) {
    if (counter < 20) {
        return 0;
    }
    return counter >= 70 ? 2 : 1;
}

void ColourSamples::Put(int counter, QRgb pixel) {
    m_samples[static_cast<std::size_t>(SlotFor(counter))] = pixel;
}

// Compared without the alpha byte, which says nothing about the picture path.
int ColourSamples::ColorMode() const {
    const QRgb first = m_samples[0] & RGB_MASK;
    return first == (m_samples[1] & RGB_MASK) && first == (m_samples[2] & RGB_MASK) ? 1 : 0;
}

bool ColourSamples::NearTestColour() const {
    const QRgb bt709 = TestColourBt709();
    const QRgb bt601 = TestColourBt601();
    return std::any_of(m_samples.begin(), m_samples.end(),
                       [&](QRgb sample) { return Near(sample, bt709) || Near(sample, bt601); });
}

QRgb ColourSamples::TestColourBt709() {
    const tachy::video::Rgb rgb = tachy::video::bt709ToRgb(
        TestPicture::kLuma, TestPicture::kFirstChroma, TestPicture::kSecondChroma);
    return qRgb(rgb.red, rgb.green, rgb.blue);
}

QRgb ColourSamples::TestColourBt601() {
    return bt601ToRgb(TestPicture::kLuma, TestPicture::kFirstChroma, TestPicture::kSecondChroma);
}

bool ColourSamples::Near(QRgb actual, QRgb expected, int tolerance) {
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}
