// Where pictures go: layouts, fitting, zoom and pan, clipping, the overview, picture controls.

#include "display/DisplayGeometry.h"
#include "platform/video/VideoProcessor.h"

#include <gtest/gtest.h>

using namespace tachy::display;
using tachy::video::ProcAmpRange;
using tachy::video::VideoRect;

TEST(DisplayLayout, EachLayoutSplitsTheClientIntoItsScreens) {
    const auto sixteen = layoutRects(4, 1000, 600);
    ASSERT_EQ(sixteen.size(), 16U);
    for (const VideoRect& screen : sixteen) {
        EXPECT_EQ(screen.width(), 250);
        EXPECT_EQ(screen.height(), 150);
    }
    EXPECT_EQ(sixteen[5], (VideoRect{250, 150, 500, 300}));
    EXPECT_EQ(sixteen[15], (VideoRect{750, 450, 1000, 600}));
    // Odd sizes: halves are whole pixels, the last column ends at twice the half.
    EXPECT_EQ(layoutRects(1, 801, 451)[1], (VideoRect{400, 0, 800, 451}));
    EXPECT_EQ(layoutRects(2, 800, 450)[3], (VideoRect{400, 225, 800, 450}));
    EXPECT_EQ(layoutRects(3, 800, 450)[6], (VideoRect{400, 225, 600, 450}));
    EXPECT_EQ(layoutRects(0, 800, 450).size(), 1U);
    EXPECT_TRUE(layoutRects(5, 800, 450).empty());
    EXPECT_TRUE(layoutRects(-1, 800, 450).empty());
}

TEST(DisplayFit, WidePicturesFillTheClientAndOthersKeepTheirShape) {
    const VideoRect square{0, 0, 1000, 1000};
    FitOptions options;  // construction values: aspect handling on, mode 0, no keep-ratio
    options.wideFlag = 1;
    EXPECT_EQ(fitPicture(square, 1280, 720, options), square);
    options.keepRatio = true;
    EXPECT_EQ(fitPicture(square, 1280, 720, options), (VideoRect{0, 219, 1000, 781}));
    // 720 x 480 is 1.5:1, not wide: letterboxed to its own ratio.
    options = {};
    options.wideFlag = 2;
    EXPECT_EQ(fitPicture(square, 720, 480, options), (VideoRect{0, 167, 1000, 833}));
    // A tall client pillarboxes a 4:3 mode.
    options.aspectMode = 0x10002;
    EXPECT_EQ(fitPicture({0, 0, 1600, 900}, 1920, 1080, options), (VideoRect{200, 0, 1400, 900}));
    options.keepRatio = true;
    options.aspectMode = 0x10001;
    EXPECT_EQ(fitPicture({0, 0, 1000, 1000}, 720, 480, options), (VideoRect{0, 219, 1000, 781}));
    // Aspect handling off: the client whatever the picture.
    options.aspectMode = 0x00002;
    EXPECT_EQ(fitPicture({0, 0, 640, 480}, 1920, 1080, options), (VideoRect{0, 0, 640, 480}));
}

TEST(DisplayFit, OriginalSizeOnlyWhenThePictureFits) {
    FitOptions options;
    options.originalSize = true;
    EXPECT_EQ(fitPicture({0, 0, 1000, 800}, 640, 360, options), (VideoRect{180, 220, 820, 580}));
    options.wideFlag = 1;
    EXPECT_EQ(fitPicture({0, 0, 1000, 800}, 1920, 1080, options), (VideoRect{0, 0, 1000, 800}));
}

TEST(DisplayZoom, ZoomAtTheCentreCropsToTheMiddle) {
    const VideoRect client{0, 0, 800, 450};
    ZoomState state;
    EXPECT_EQ(applyZoom(client, client, state), client);  // at 256 the picture is the fitted one
    state.level = 512;
    state.pointX = 400;
    state.pointY = 225;
    const VideoRect zoomed = applyZoom(client, client, state);
    EXPECT_EQ(zoomed, (VideoRect{-400, -225, 1200, 675}));
    const ClippedBlit blit = clipToClient(zoomed, client, 1920, 1080);
    EXPECT_EQ(blit.source, (VideoRect{480, 270, 1440, 810}));
    EXPECT_EQ(blit.dest, client);
}

TEST(DisplayZoom, ThePointUnderTheCursorStaysWhereItIs) {
    const VideoRect client{0, 0, 800, 450};
    ZoomState state;
    applyZoom(client, client, state);
    state.level = 512;
    state.pointX = 200;
    state.pointY = 100;
    const VideoRect zoomed = applyZoom(client, client, state);
    // Picture point (200, 100) of the fitted picture is at 2 x that in the zoomed one.
    EXPECT_EQ(zoomed.left, 200 - 400);
    EXPECT_EQ(zoomed.top, 100 - 200);
    EXPECT_EQ(zoomed.width(), 1600);
}

TEST(DisplayZoom, PanningStopsWithThePictureEdgeAtTheFittedEdge) {
    const VideoRect client{0, 0, 800, 450};
    ZoomState state;
    applyZoom(client, client, state);
    state.level = 512;
    state.pointX = 400;
    state.pointY = 225;
    applyZoom(client, client, state);
    state.panX = 5000;  // far past the left edge
    state.panY = -5000;
    const VideoRect zoomed = applyZoom(client, client, state);
    EXPECT_EQ(zoomed.left, 0);
    EXPECT_EQ(zoomed.bottom, 450);
    EXPECT_EQ(state.panX, 0);
    // A moderate pan moves the picture by its distance.
    state.panX = -100;
    EXPECT_EQ(applyZoom(client, client, state).left, -100);
}

TEST(DisplayZoom, ALetterboxedPictureIsCentredUntilItOutgrowsTheWindow) {
    const VideoRect client{0, 0, 1000, 1000};
    const VideoRect fitted{0, 167, 1000, 833};
    ZoomState state;
    applyZoom(client, fitted, state);
    state.level = 384;
    state.pointX = 0;
    state.pointY = 0;
    const VideoRect zoomed = applyZoom(client, fitted, state);
    EXPECT_EQ(zoomed.height(), 999);  // 666 x 1.5 fits the height: centred
    EXPECT_EQ(zoomed.top, 0);
}

TEST(DisplayZoom, AResizedWindowCarriesTheZoomAlong) {
    ZoomState state;
    applyZoom({0, 0, 800, 450}, {0, 0, 800, 450}, state);
    state.level = 512;
    state.pointX = 400;
    state.pointY = 225;
    applyZoom({0, 0, 800, 450}, {0, 0, 800, 450}, state);
    const VideoRect zoomed = applyZoom({0, 0, 1600, 900}, {0, 0, 1600, 900}, state);
    EXPECT_EQ(state.pointX, 800);
    EXPECT_EQ(zoomed, (VideoRect{-800, -450, 2400, 1350}));
}

TEST(DisplayZoom, ClippingCutsTheSourceByTheSameShare) {
    const ClippedBlit blit = clipToClient({-100, 50, 700, 450}, {0, 0, 600, 400}, 1600, 800);
    EXPECT_EQ(blit.dest, (VideoRect{0, 50, 600, 400}));
    EXPECT_EQ(blit.source, (VideoRect{200, 0, 1400, 700}));
}

TEST(DisplayOverview, SitsInTheChosenCornerWithItsMargins) {
    const VideoRect client{0, 0, 768, 432};
    EXPECT_EQ(overviewRect(client, 1920, 1080, 0, {}), (VideoRect{20, 20, 212, 128}));
    EXPECT_EQ(overviewRect(client, 1920, 1080, 3, {}), (VideoRect{556, 304, 748, 412}));
    EXPECT_EQ(overviewRect(client, 1920, 1080, 1, {}).left, 556);
    EXPECT_EQ(overviewRect(client, 1920, 1080, 2, {}).top, 304);
    // Another corner value keeps the last place.
    EXPECT_EQ(overviewRect(client, 1920, 1080, 7, {30, 40, 0, 0}), (VideoRect{30, 40, 222, 148}));
}

TEST(DisplayProcAmp, ControlsMapOntoTheRangeEnds) {
    ProcAmpRange brightness;
    ASSERT_TRUE(tachy::video::VideoProcessor::procAmpRange(tachy::video::ProcAmpProperty::Brightness, brightness));
    EXPECT_EQ(mapProcAmp(0, brightness, false), brightness.minimum);
    EXPECT_EQ(mapProcAmp(100, brightness, false), brightness.maximum);
    EXPECT_EQ(mapProcAmp(50, brightness, false), brightness.defaultValue);
    ProcAmpRange contrast;
    ASSERT_TRUE(tachy::video::VideoProcessor::procAmpRange(tachy::video::ProcAmpProperty::Contrast, contrast));
    EXPECT_EQ(mapProcAmp(0, contrast, true), contrast.minimum + 6553);
    EXPECT_EQ(mapProcAmp(100, contrast, true), contrast.maximum);
    EXPECT_EQ(mapProcAmp(50, contrast, true), contrast.defaultValue);
    // Out-of-range values stay inside the range.
    EXPECT_EQ(mapProcAmp(150, contrast, true), contrast.maximum);
    EXPECT_EQ(mapProcAmp(-20, brightness, false), brightness.minimum);
    // A range narrower than the contrast floor does not invert the clamp.
    EXPECT_EQ(mapProcAmp(0, ProcAmpRange{0, 100, 50, 1}, true), 100);
}
