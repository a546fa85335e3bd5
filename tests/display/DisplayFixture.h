#pragma once
// Shared pieces of the display tests: one QApplication per test process, an owner window that
// records the notifications it gets, pictures of known colours, and the picture a display last
// presented, read back from whichever backend it runs on.

#include "display/CWndScrD3D.h"
#include "platform/bus/CommandTarget.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace tachy::test {

// The test process's application (offscreen unless the environment names a platform).
void ensureApplication();

struct Notification {
    unsigned message;
    std::uintptr_t code;
    std::intptr_t argument;
};

class RecordingOwner : public QWidget, public CommandTarget {
public:
    std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t argument) override;
    std::vector<Notification> notifications;
    // The codes of the display notifications received, in order.
    std::vector<std::uintptr_t> codes() const;
};

// A planar 4:2:0 picture: four quadrants (top-left, top-right, bottom-left, bottom-right).
struct YuvPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> y, u, v;
    const std::uint8_t* planes[3] = {};
    int strides[3] = {};
};
YuvPicture makeQuadrants(int width, int height, const std::array<QColor, 4>& colours);

// 32-bit B, G, R, X rows in quadrants.
std::vector<std::uint8_t> makeBgraQuadrants(int width, int height, const std::array<QColor, 4>& colours);

// The last picture the display presented.
QImage presented(CWndScrD3D& display);

// Each channel within `tolerance` of the expected colour.
::testing::AssertionResult colourNear(QRgb actual, const QColor& expected, int tolerance);

// A parent window of the given client size with a display that fills it, created on it.
struct DisplayUnderTest {
    explicit DisplayUnderTest(int width, int height, int format = 6);
    ~DisplayUnderTest();
    DisplayUnderTest(const DisplayUnderTest&) = delete;
    DisplayUnderTest& operator=(const DisplayUnderTest&) = delete;

    struct Application {
        Application() { ensureApplication(); }
    } application;  // before any widget
    RecordingOwner owner;
    CWndScrD3D* display = nullptr;  // owned by `owner`
    bool created = false;
};

} // namespace tachy::test
