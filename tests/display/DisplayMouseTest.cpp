// The display's mouse rules driven through real Qt events: zoom steps and limits, pan only where
// allowed, and the notifications the owner gets.

#include "tests/display/DisplayFixture.h"

#include "display/DisplayMessages.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace tachy::display;
using tachy::test::DisplayUnderTest;

namespace {

void wheel(QWidget* widget, QPoint point, int delta, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(point, widget->mapToGlobal(point), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// Presses, moves in steps and releases the left button.
void drag(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
    QTest::mousePress(widget, Qt::LeftButton, modifiers, from);
    QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &move);
    QMouseEvent further(QEvent::MouseMove, to + QPoint(10, 0), widget->mapToGlobal(to + QPoint(10, 0)),
                        Qt::NoButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &further);
    QTest::mouseRelease(widget, Qt::LeftButton, modifiers, to);
}

tachy::video::VideoRect zoomedRect(CWndScrD3D& display) {
    int level = 0;
    int x = 0;
    int y = 0;
    tachy::video::VideoRect zoomed;
    tachy::video::VideoRect client;
    display.CDxDisplay::GetDispZoomStatus(level, x, y, zoomed, client);
    return zoomed;
}

} // namespace

TEST(DisplayMouse, CreateDisplayKnowsTwoKinds) {
    tachy::test::ensureApplication();
    QWidget parent;
    EXPECT_EQ(CWndDisplay::CreateDisplay(2, &parent), nullptr);
    EXPECT_EQ(CWndDisplay::CreateDisplay(-1, &parent), nullptr);
    CWndDisplay* display = CWndDisplay::CreateDisplay(1, &parent);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->GetDisplayIdentifier(), QStringLiteral("DirectD3D9"));
    EXPECT_EQ(display->parentWidget(), &parent);
}

TEST(DisplayMouse, TouchpadDeltasZoomInProportionNotToTheLimit) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    for (int event = 0; event < 12; ++event) {
        wheel(&display, {100, 100}, 10, Qt::ControlModifier);  // one notch in twelve events
    }
    EXPECT_EQ(display.GetZoomInfo(), 272);
    for (int event = 0; event < 20; ++event) {
        wheel(&display, {100, 100}, 18, Qt::ControlModifier);  // a flick: three notches
    }
    EXPECT_EQ(display.GetZoomInfo(), 272 + 3 * 16);
}

TEST(DisplayMouse, WheelStepsBySixteenWithinItsLimits) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    wheel(&display, {100, 100}, 120, Qt::NoModifier);  // zoom option 1: Ctrl is needed
    EXPECT_EQ(display.GetZoomInfo(), 256);
    wheel(&display, {100, 100}, 120, Qt::ControlModifier);
    EXPECT_EQ(display.GetZoomInfo(), 272);
    wheel(&display, {100, 100}, -120, Qt::ControlModifier);
    wheel(&display, {100, 100}, -120, Qt::ControlModifier);
    EXPECT_EQ(display.GetZoomInfo(), 240);
    display.SetZoomInfo(1024, QPoint(0, 0));
    wheel(&display, {100, 100}, 120, Qt::ControlModifier);
    EXPECT_EQ(display.GetZoomInfo(), 1024);
    display.SetZoomInfo(64, QPoint(0, 0));
    wheel(&display, {100, 100}, -120, Qt::ControlModifier);
    EXPECT_EQ(display.GetZoomInfo(), 64);
    display.SetZoomInfo(5000, QPoint(0, 0));
    EXPECT_EQ(display.GetZoomInfo(), 1024);  // clamped
    // Zoom option 0: the plain wheel zooms, at the wheel point.
    display.SetZoomOption(0);
    display.SetZoomInfo(256, QPoint(0, 0));
    wheel(&display, {150, 120}, 120, Qt::NoModifier);
    int level = 0;
    QPoint point;
    QRect zoomed;
    QRect client;
    display.GetDispZoomStatus(level, point, zoomed, client);
    EXPECT_EQ(level, 272);
    EXPECT_EQ(point, QPoint(150, 120));
    // Zoom mode 2: the wheel does nothing.
    display.SetZoomMode(2);
    wheel(&display, {150, 120}, 120, Qt::NoModifier);
    EXPECT_EQ(display.GetZoomInfo(), 272);
}

TEST(DisplayMouse, DoubleClickStepsInZoomModeTwoUnlessOriginalSize) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    display.SetZoomMode(2);
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::NoModifier, {50, 50});  // option 1 without Ctrl
    EXPECT_EQ(display.GetZoomInfo(), 256);
    for (const int expected : {512, 768, 1024, 256}) {
        QTest::mouseDClick(&display, Qt::LeftButton, Qt::ControlModifier, {50, 50});
        EXPECT_EQ(display.GetZoomInfo(), expected);
    }
    display.SetZoomInfo(300, QPoint(0, 0));
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::ControlModifier, {50, 50});
    EXPECT_EQ(display.GetZoomInfo(), 256);  // any other level goes back to 256
    display.SetSizeOriginal(1);
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::ControlModifier, {50, 50});
    EXPECT_EQ(display.GetZoomInfo(), 256);
}

TEST(DisplayMouse, DoubleClickInZoomModeOneResetsOrTellsTheOwner) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    display.SetDisplayID(7);
    display.SetLayout(0, 0);
    display.SetZoomInfo(512, QPoint(10, 10));
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::ControlModifier, {50, 50});
    EXPECT_EQ(display.GetZoomInfo(), 256);
    subject.owner.notifications.clear();
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::NoModifier, {50, 50});
    QApplication::processEvents();
    const auto codes = subject.owner.codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), kLeftDoubleClick), codes.end());
    for (const auto& notification : subject.owner.notifications) {
        if (notification.code == kLeftDoubleClick) {
            EXPECT_EQ(notification.argument, 7);
        }
    }
    // Zoom option 0 and zoomed in: the double-click resets instead of notifying.
    display.SetZoomOption(0);
    display.SetZoomInfo(512, QPoint(10, 10));
    subject.owner.notifications.clear();
    QTest::mouseDClick(&display, Qt::LeftButton, Qt::NoModifier, {50, 50});
    QApplication::processEvents();
    EXPECT_EQ(display.GetZoomInfo(), 256);
    const auto after = subject.owner.codes();
    EXPECT_EQ(std::find(after.begin(), after.end(), kLeftDoubleClick), after.end());
}

TEST(DisplayMouse, ClicksAreSentAndPostedToTheOwner) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    display.SetDisplayID(3);
    display.SetLayout(0, 0);
    QTest::mousePress(&display, Qt::LeftButton, Qt::NoModifier, {40, 30});
    ASSERT_EQ(subject.owner.codes(), std::vector<std::uintptr_t>{kLeftButtonDown});  // sent: already there
    EXPECT_EQ(subject.owner.notifications.back().argument, 3);
    QTest::mouseRelease(&display, Qt::LeftButton, Qt::NoModifier, {40, 30});
    ASSERT_EQ(subject.owner.codes().back(), kLeftButtonUp);
    EXPECT_EQ(subject.owner.notifications.back().argument, packPoint(40, 30));
    QTest::mousePress(&display, Qt::RightButton, Qt::NoModifier, {40, 30});
    EXPECT_EQ(subject.owner.codes().back(), kLeftButtonUp);  // posted: not yet
    QApplication::processEvents();
    EXPECT_EQ(subject.owner.codes().back(), kRightButtonDown);
    QTest::mouseDClick(&display, Qt::RightButton, Qt::NoModifier, {40, 30});
    QApplication::processEvents();
    const auto codes = subject.owner.codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), kRightDoubleClick), codes.end());
    // Mouse moves reach the parent with their key flags and point.
    QMouseEvent move(QEvent::MouseMove, QPointF(12, 34), display.mapToGlobal(QPointF(12, 34)), Qt::NoButton,
                     Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(&display, &move);
    const auto& last = subject.owner.notifications.back();
    EXPECT_EQ(last.message, kMouseMove);
    EXPECT_EQ(last.code, kKeyShift);
    EXPECT_EQ(last.argument, packPoint(12, 34));
}

TEST(DisplayMouse, ZoomedInWithZoomOptionZeroTheLeftButtonPansQuietly) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    display.SetZoomOption(0);
    display.SetZoomInfo(512, QPoint(200, 150));
    QTest::mousePress(&display, Qt::LeftButton, Qt::NoModifier, {40, 30});
    QTest::mouseRelease(&display, Qt::LeftButton, Qt::NoModifier, {40, 30});
    const auto codes = subject.owner.codes();
    EXPECT_EQ(std::find(codes.begin(), codes.end(), kLeftButtonDown), codes.end());
    EXPECT_EQ(std::find(codes.begin(), codes.end(), kLeftButtonUp), codes.end());
}

TEST(DisplayMouse, DraggingPansOnlyWithCtrlUnderZoomOptionOne) {
    DisplayUnderTest subject(400, 300);
    CWndScrD3D& display = *subject.display;
    const auto picture = tachy::test::makeQuadrants(400, 224, {Qt::red, Qt::green, Qt::blue, Qt::white});
    display.SetVidStream(0, picture.planes, picture.width, picture.height, 0, 6, picture.strides);
    display.SetZoomInfo(512, QPoint(200, 150));
    display.UpdateScreen(0);
    const auto before = zoomedRect(display);
    drag(&display, {200, 150}, {150, 150}, Qt::NoModifier);
    EXPECT_EQ(zoomedRect(display), before);
    drag(&display, {200, 150}, {150, 150}, Qt::ControlModifier);
    // The press starts the pan; the moves take the picture 50 pixels left and 10 back.
    EXPECT_EQ(zoomedRect(display).left, before.left - 40);
    // Zoom option 0: the plain left button pans.
    display.SetZoomOption(0);
    drag(&display, {200, 150}, {150, 150}, Qt::NoModifier);
    EXPECT_EQ(zoomedRect(display).left, before.left - 80);
}
