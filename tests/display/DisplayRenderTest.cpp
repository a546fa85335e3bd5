// Pictures through the display window on the software backend: where they land, the colours
// ProcAmp gives, the overview's red frame, reverse modes, logos, and recovery from a lost device.

#include "tests/display/DisplayFixture.h"

#include "display/DisplayMessages.h"

#include <QApplication>
#include <gtest/gtest.h>

using tachy::test::colourNear;
using tachy::test::DisplayUnderTest;
using tachy::test::makeQuadrants;
using tachy::test::presented;

namespace {

const std::array<QColor, 4> kQuadrants{QColor(220, 30, 30), QColor(30, 200, 40), QColor(40, 50, 210),
                                       QColor(235, 235, 235)};
const QColor kBackground(41, 44, 53);  // the display's fixed background, Y 0x36 Cb 0x84 Cr 0x7E

// A clearly red pixel within `radius` of (x, y): thin frame lines blend with their neighbours
// when the overview is scaled down.
bool redNear(const QImage& image, int x, int y, int radius) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QRgb pixel = image.pixel(x + dx, y + dy);
            if (qRed(pixel) > 150 && qGreen(pixel) < 70 && qBlue(pixel) < qRed(pixel) / 2) {
                return true;
            }
        }
    }
    return false;
}

// Uploads the quadrant picture and draws it.
void show(CWndScrD3D& display, const tachy::test::YuvPicture& picture) {
    ASSERT_EQ(display.SetVidStream(0, picture.planes, picture.width, picture.height, 0, 6, picture.strides), 1);
}

} // namespace

TEST(DisplayRender, AWidePictureFillsTheWindowQuadrantByQuadrant) {
    DisplayUnderTest subject(640, 360);
    ASSERT_TRUE(subject.created);
    show(*subject.display, makeQuadrants(320, 180, kQuadrants));
    const QImage image = presented(*subject.display);
    ASSERT_EQ(image.size(), QSize(640, 360));
    EXPECT_TRUE(colourNear(image.pixel(160, 90), kQuadrants[0], 3));
    EXPECT_TRUE(colourNear(image.pixel(480, 90), kQuadrants[1], 3));
    EXPECT_TRUE(colourNear(image.pixel(160, 270), kQuadrants[2], 3));
    EXPECT_TRUE(colourNear(image.pixel(480, 270), kQuadrants[3], 3));
    EXPECT_TRUE(colourNear(image.pixel(2, 2), kQuadrants[0], 3));  // to the very corner
    EXPECT_EQ(subject.display->GetImageWidth(0), 320U);
}

TEST(DisplayRender, ANarrowPictureIsPillarboxedOnTheBackground) {
    DisplayUnderTest subject(640, 360);
    show(*subject.display, makeQuadrants(240, 180, kQuadrants));  // 4:3
    const QImage image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(40, 180), kBackground, 2));
    EXPECT_TRUE(colourNear(image.pixel(600, 180), kBackground, 2));
    EXPECT_TRUE(colourNear(image.pixel(90, 10), kQuadrants[0], 3));   // the picture starts at 80
    EXPECT_TRUE(colourNear(image.pixel(550, 350), kQuadrants[3], 3));  // and ends at 560
}

TEST(DisplayRender, HeightOf1088IsShownAs1080) {
    DisplayUnderTest subject(480, 270);
    const auto picture = makeQuadrants(1920, 1088, kQuadrants);
    show(*subject.display, picture);
    EXPECT_EQ(subject.display->GetImageHeight(0), 1080U);
    EXPECT_EQ(subject.display->GetImageWidth(0), 1920U);
}

TEST(DisplayRender, ReverseModesFlipAndMirror) {
    DisplayUnderTest subject(640, 360);
    const auto picture = makeQuadrants(320, 180, kQuadrants);
    subject.display->SetVidReverse(1);
    show(*subject.display, picture);
    QImage image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(160, 90), kQuadrants[2], 3));  // upside down
    subject.display->SetVidReverse(2);
    show(*subject.display, picture);
    image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(160, 90), kQuadrants[1], 3));  // mirrored
    subject.display->SetVidReverse(3);
    show(*subject.display, picture);
    image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(160, 90), kQuadrants[3], 3));  // half a turn
    EXPECT_EQ(subject.display->GetVidReverse(), 3);
}

TEST(DisplayRender, ThirtyTwoBitPicturesNeedThirtyTwoBitSurfaces) {
    DisplayUnderTest bgra(640, 360, 4);
    const auto bytes = tachy::test::makeBgraQuadrants(320, 180, kQuadrants);
    bgra.display->SetVidReverse(1);
    ASSERT_EQ(bgra.display->SetVidStream(0, bytes.data(), 320, 180, 0, 4), 1);
    const QImage image = presented(*bgra.display);
    EXPECT_TRUE(colourNear(image.pixel(160, 90), kQuadrants[2], 1));
    EXPECT_TRUE(colourNear(image.pixel(480, 270), kQuadrants[1], 1));
    // A YV12 picture does not go into 32-bit surfaces: the width stays that of the last picture.
    const auto yuv = makeQuadrants(64, 36, kQuadrants);
    bgra.display->SetVidStream(0, yuv.planes, yuv.width, yuv.height, 0, 6, yuv.strides);
    EXPECT_EQ(bgra.display->GetImageWidth(0), 320U);
    // Nor a picture larger than the surfaces.
    EXPECT_EQ(bgra.display->UploadBuffer(0, bytes.data(), 4000, 10, 4), 0);
}

TEST(DisplayRender, ProcAmpChangesTheColoursAsMapped) {
    DisplayUnderTest subject(320, 180);
    const auto grey = makeQuadrants(320, 180, {QColor(120, 120, 120), QColor(120, 120, 120),
                                              QColor(200, 60, 60), QColor(200, 60, 60)});
    subject.display->SetBrightness(50);
    subject.display->SetContrast(50);
    subject.display->SetSaturation(50);
    show(*subject.display, grey);
    QImage image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(100, 40), QColor(120, 120, 120), 2));  // 50 is neutral
    subject.display->SetBrightness(75);  // +50 luma steps, 58 RGB steps
    show(*subject.display, grey);
    image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(100, 40), QColor(178, 178, 178), 3));
    subject.display->SetBrightness(50);
    subject.display->SetSaturation(0);  // colour gone: the red quadrant turns to its luma
    show(*subject.display, grey);
    image = presented(*subject.display);
    EXPECT_LE(std::abs(qRed(image.pixel(100, 140)) - qBlue(image.pixel(100, 140))), 2);
    subject.display->SetSaturation(50);
    subject.display->SetContrast(0);  // the floor: a tenth of the contrast
    show(*subject.display, grey);
    image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(100, 40), QColor(12, 12, 12), 2));
}

TEST(DisplayRender, ZoomedInShowsTheOverviewWithARedFrame) {
    DisplayUnderTest subject(768, 432);
    const auto picture = makeQuadrants(640, 360, kQuadrants);
    show(*subject.display, picture);
    subject.display->CDxDisplay::SetZoomInfo(512, 384, 216);
    show(*subject.display, picture);
    const QImage image = presented(*subject.display);
    // Zoomed on the centre: the four quadrants meet in the middle of the window.
    EXPECT_TRUE(colourNear(image.pixel(300, 150), kQuadrants[0], 3));
    EXPECT_TRUE(colourNear(image.pixel(468, 282), kQuadrants[3], 3));
    // Overview at the bottom-right (556, 304)-(748, 412): its border is red, inside the picture.
    EXPECT_TRUE(redNear(image, 557, 370, 1));
    EXPECT_FALSE(redNear(image, 540, 370, 3));  // outside the overview
    EXPECT_TRUE(colourNear(image.pixel(570, 312), kQuadrants[0], 12));
    EXPECT_TRUE(colourNear(image.pixel(740, 404), kQuadrants[3], 12));
    // The visible part (the middle half) is framed too: its left edge at a quarter of the overview.
    EXPECT_TRUE(redNear(image, 556 + 48, 370, 1));
    EXPECT_FALSE(redNear(image, 556 + 30, 370, 3));  // between the two frames: the picture
    // Switched off: no overview.
    subject.display->SetDispZoomPIP(0, 3);
    show(*subject.display, picture);
    EXPECT_TRUE(colourNear(presented(*subject.display).pixel(740, 404), kQuadrants[3], 3));
}

TEST(DisplayRender, TheOverviewFrameFollowsAPanWithoutANewPicture) {
    DisplayUnderTest subject(768, 432);
    const auto picture = makeQuadrants(640, 360, kQuadrants);
    show(*subject.display, picture);
    subject.display->CDxDisplay::SetZoomInfo(512, 384, 216);
    show(*subject.display, picture);
    EXPECT_TRUE(redNear(presented(*subject.display), 556 + 48, 370, 1));
    // Dragged 100 pixels right: the visible part starts at 284 / 1536 of the picture, 35 pixels
    // into the overview; the frame where it was is gone, the picture shows there again.
    subject.display->CDxDisplay::Move(0, 0, 100, 0);
    subject.display->UpdateScreen(0);
    const QImage image = presented(*subject.display);
    EXPECT_TRUE(redNear(image, 556 + 35, 370, 1));
    EXPECT_FALSE(redNear(image, 556 + 48, 370, 2));
    EXPECT_TRUE(redNear(image, 557, 370, 1));  // the border of the whole picture stays
    // The next picture is framed where the view is now.
    show(*subject.display, picture);
    EXPECT_TRUE(redNear(presented(*subject.display), 556 + 35, 370, 1));
    EXPECT_FALSE(redNear(presented(*subject.display), 556 + 48, 370, 2));
}

TEST(DisplayRender, SetLayoutShowsTheLogoUntilTheNextPicture) {
    DisplayUnderTest subject(640, 360);
    QImage logo(100, 50, QImage::Format_RGB32);
    logo.fill(QColor(250, 200, 0));
    ASSERT_EQ(subject.display->LoadLogo(1, &logo), 1);
    subject.display->SetShowLogoIndex(1);
    show(*subject.display, makeQuadrants(320, 180, kQuadrants));
    subject.display->SetLayout(0, 0);
    QImage image = presented(*subject.display);
    EXPECT_TRUE(colourNear(image.pixel(320, 180), QColor(250, 200, 0), 1));  // centred at its size
    EXPECT_TRUE(colourNear(image.pixel(20, 20), kBackground, 2));
    subject.display->SetLogoSize(0);  // stretched over the window
    subject.display->UpdateScreen(1);
    EXPECT_TRUE(colourNear(presented(*subject.display).pixel(20, 20), QColor(250, 200, 0), 1));
    show(*subject.display, makeQuadrants(320, 180, kQuadrants));
    EXPECT_TRUE(colourNear(presented(*subject.display).pixel(20, 20), kQuadrants[0], 3));
    // Without a default logo the window shows its background.
    subject.display->SetShowLogoIndex(-1);
    subject.display->UpdateScreen(1);
    EXPECT_TRUE(colourNear(presented(*subject.display).pixel(320, 180), kBackground, 2));
}

TEST(DisplayRender, ALostDeviceIsReportedAndRecovered) {
    DisplayUnderTest subject(320, 180);
    QWidget* parent = &subject.owner;
    ASSERT_EQ(subject.display->parentWidget(), parent);
    subject.display->Device()->markLost();
    subject.display->UpdateScreen(0);
    QApplication::processEvents();
    ASSERT_EQ(subject.owner.codes(), std::vector<std::uintptr_t>{tachy::display::kDrawFailed});
    EXPECT_EQ(subject.owner.notifications[0].argument,
              reinterpret_cast<std::intptr_t>(static_cast<CWndDisplay*>(subject.display)));
    EXPECT_EQ(subject.display->GetResetState(), 1);
    // Refused while waiting for the reset.
    const auto picture = makeQuadrants(320, 180, kQuadrants);
    EXPECT_EQ(subject.display->UploadPlanes(0, picture.planes, 320, 180, 6, picture.strides), 0);
    ASSERT_EQ(subject.display->ResetDisplay(), 1);
    EXPECT_EQ(subject.display->GetResetState(), 0);
    show(*subject.display, picture);
    EXPECT_TRUE(colourNear(presented(*subject.display).pixel(80, 45), kQuadrants[0], 3));
    EXPECT_EQ(subject.display->ResetDisplay(), 0);  // nothing to reset
}

TEST(DisplayRender, DrawingSwitchedOffSucceedsWithoutDrawing) {
    DisplayUnderTest subject(320, 180);
    show(*subject.display, makeQuadrants(320, 180, kQuadrants));
    subject.display->SetDisplayStatue(0);
    EXPECT_EQ(subject.display->Draw({0, 0, 320, 180}, 1), 1);
    EXPECT_TRUE(colourNear(presented(*subject.display).pixel(80, 45), kQuadrants[0], 3));
}

TEST(DisplayRender, PrintDataConvertsIntoTheScreensBuffer) {
    DisplayUnderTest subject(320, 180, 4);
    const auto bytes = tachy::test::makeBgraQuadrants(64, 32, kQuadrants);
    unsigned char* buffer = subject.display->GetPrintData(2, bytes.data(), 64, 32, 4);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::memcmp(buffer, bytes.data(), bytes.size()), 0);
    // Packed 4:2:2, white and black pairs: rows come out bottom-up.
    std::vector<std::uint8_t> packed(4 * 2 * 2);
    const std::uint8_t white[4] = {235, 128, 235, 128};
    const std::uint8_t black[4] = {16, 128, 16, 128};
    std::memcpy(packed.data(), white, 4);
    std::memcpy(packed.data() + 4, white, 4);
    std::memcpy(packed.data() + 8, black, 4);
    std::memcpy(packed.data() + 12, black, 4);
    buffer = subject.display->GetPrintData(0, packed.data(), 4, 2, 1);
    EXPECT_EQ(buffer[0], 0);          // first row out: the black source row
    EXPECT_EQ(buffer[16 + 2], 255);   // second row: white
    // Too large for the buffer: left as it was.
    EXPECT_EQ(subject.display->GetPrintData(0, bytes.data(), 4000, 4000, 4), buffer);
    EXPECT_EQ(buffer[16 + 2], 255);
    EXPECT_EQ(subject.display->CWndDisplay::GetPrintData(0), nullptr);
}
