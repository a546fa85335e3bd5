#include "tests/display/DisplayFixture.h"

#include "platform/video/GlVideoDevice.h"
#include "platform/video/SoftwareVideoDevice.h"
#include "tests/support/QtTestApplication.h"

#include <QApplication>
#include <QTest>
#include <cmath>
#include <cstdlib>

namespace tachy::test {
namespace {

struct Yuv {
    std::uint8_t y, u, v;
};

// BT.709 studio range, the inverse of what the display shows.
Yuv toYuv(const QColor& colour) {
    const double red = colour.red() / 255.0;
    const double green = colour.green() / 255.0;
    const double blue = colour.blue() / 255.0;
    const double luma = 0.2126 * red + 0.7152 * green + 0.0722 * blue;
    const auto byte = [](double value) { return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0))); };
    return {byte(16 + 219 * luma), byte(128 + 224 * (blue - luma) / 1.8556), byte(128 + 224 * (red - luma) / 1.5748)};
}

int quadrant(int x, int y, int width, int height) {
    return (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
}

} // namespace

void ensureApplication() {
    testApplication();
}

std::intptr_t RecordingOwner::command(unsigned message, std::uintptr_t code, std::intptr_t argument) {
    notifications.push_back({message, code, argument});
    return 0;
}

std::vector<std::uintptr_t> RecordingOwner::codes() const {
    std::vector<std::uintptr_t> result;
    for (const Notification& notification : notifications) {
        if (notification.message == 1123) {
            result.push_back(notification.code);
        }
    }
    return result;
}

YuvPicture makeQuadrants(int width, int height, const std::array<QColor, 4>& colours) {
    YuvPicture picture;
    picture.width = width;
    picture.height = height;
    picture.y.resize(static_cast<std::size_t>(width) * height);
    picture.u.resize(static_cast<std::size_t>(width / 2) * (height / 2));
    picture.v.resize(picture.u.size());
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const Yuv sample = toYuv(colours[static_cast<std::size_t>(quadrant(column, row, width, height))]);
            picture.y[static_cast<std::size_t>(row) * width + column] = sample.y;
            if (row % 2 == 0 && column % 2 == 0) {
                const std::size_t chroma = static_cast<std::size_t>(row / 2) * (width / 2) + column / 2;
                picture.u[chroma] = sample.u;
                picture.v[chroma] = sample.v;
            }
        }
    }
    picture.planes[0] = picture.y.data();
    picture.planes[1] = picture.u.data();
    picture.planes[2] = picture.v.data();
    picture.strides[0] = width;
    picture.strides[1] = picture.strides[2] = width / 2;
    return picture;
}

std::vector<std::uint8_t> makeBgraQuadrants(int width, int height, const std::array<QColor, 4>& colours) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const QColor& colour = colours[static_cast<std::size_t>(quadrant(column, row, width, height))];
            std::uint8_t* pixel = bytes.data() + (static_cast<std::size_t>(row) * width + column) * 4;
            pixel[0] = static_cast<std::uint8_t>(colour.blue());
            pixel[1] = static_cast<std::uint8_t>(colour.green());
            pixel[2] = static_cast<std::uint8_t>(colour.red());
            pixel[3] = 0xFF;
        }
    }
    return bytes;
}

QImage presented(CWndScrD3D& display) {
    QApplication::processEvents();
    if (auto* software = dynamic_cast<video::SoftwareVideoDevice*>(display.Device())) {
        return software->lastImage();
    }
    if (auto* gl = dynamic_cast<video::GlVideoDevice*>(display.Device())) {
        return gl->lastImage().convertToFormat(QImage::Format_RGB32);
    }
    return {};
}

::testing::AssertionResult colourNear(QRgb actual, const QColor& expected, int tolerance) {
    const int red = std::abs(qRed(actual) - expected.red());
    const int green = std::abs(qGreen(actual) - expected.green());
    const int blue = std::abs(qBlue(actual) - expected.blue());
    if (red <= tolerance && green <= tolerance && blue <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got (" << qRed(actual) << ", " << qGreen(actual) << ", "
                                         << qBlue(actual) << "), expected (" << expected.red() << ", "
                                         << expected.green() << ", " << expected.blue() << ")";
}

DisplayUnderTest::DisplayUnderTest(int width, int height, int format) {
    owner.resize(width, height);
    display = static_cast<CWndScrD3D*>(CWndDisplay::CreateDisplay(0, &owner));
    display->setGeometry(0, 0, width, height);
    owner.show();
    created = display->CreateScreen(&owner, 0, 0, nullptr, format) == 1;
    QApplication::processEvents();
}

DisplayUnderTest::~DisplayUnderTest() {
    delete display;  // NOLINT(cppcoreguidelines-owning-memory): before its parent, as the viewer does
}

} // namespace tachy::test
