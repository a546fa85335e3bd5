// The OpenGL backend draws the same scenes as the software backend, within a small colour
// tolerance. Runs under a real X server (xvfb-run), where Mesa's llvmpipe gives OpenGL.

#include "tests/display/DisplayFixture.h"

#include "platform/video/VideoDevice.h"

#include <QApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <cstdlib>
#include <vector>
#include <gtest/gtest.h>

using tachy::test::DisplayUnderTest;
using tachy::test::makeQuadrants;
using tachy::test::presented;

namespace {

const std::array<QColor, 4> kQuadrants{QColor(220, 30, 30), QColor(30, 200, 40), QColor(40, 50, 210),
                                       QColor(235, 235, 235)};

// The same scene on both backends: a picture, then the given settings.
struct Scene {
    int clientWidth;
    int clientHeight;
    int pictureWidth;
    int pictureHeight;
    int zoom;
    int brightness;
    int saturation;
    int reverse;
};

QImage render(const Scene& scene, const char* backend) {
    ::setenv("TACHY_VIDEO", backend, 1);
    DisplayUnderTest subject(scene.clientWidth, scene.clientHeight);
    EXPECT_TRUE(subject.created);
    const auto picture = makeQuadrants(scene.pictureWidth, scene.pictureHeight, kQuadrants);
    subject.display->SetVidReverse(static_cast<unsigned char>(scene.reverse));
    subject.display->SetBrightness(scene.brightness);
    subject.display->SetSaturation(scene.saturation);
    subject.display->SetVidStream(0, picture.planes, picture.width, picture.height, 0, 6, picture.strides);
    if (scene.zoom != 256) {
        subject.display->CDxDisplay::SetZoomInfo(scene.zoom, scene.clientWidth / 2, scene.clientHeight / 2);
        subject.display->SetVidStream(0, picture.planes, picture.width, picture.height, 0, 6, picture.strides);
    }
    const bool wanted = std::string(backend) == "opengl";
    EXPECT_EQ(subject.display->Device()->backend() == tachy::video::VideoBackend::OpenGl, wanted);
    return presented(*subject.display);
}

// Compares on a grid of points away from edges, where scaling filters may differ.
void expectAlike(const QImage& gl, const QImage& software, int tolerance) {
    ASSERT_EQ(gl.size(), software.size());
    int compared = 0;
    for (int y = 8; y < gl.height(); y += 23) {
        for (int x = 8; x < gl.width(); x += 29) {
            const QRgb a = gl.pixel(x, y);
            const QRgb b = software.pixel(x, y);
            const bool edge = software.pixel(std::max(x - 4, 0), y) != b || software.pixel(std::min(x + 4, gl.width() - 1), y) != b ||
                              software.pixel(x, std::max(y - 4, 0)) != b || software.pixel(x, std::min(y + 4, gl.height() - 1)) != b;
            if (edge) {
                continue;
            }
            ++compared;
            EXPECT_TRUE(tachy::test::colourNear(a, QColor(b), tolerance)) << "at " << x << ", " << y;
        }
    }
    EXPECT_GT(compared, 50);
}

} // namespace

class GlBackend : public testing::TestWithParam<Scene> {};

TEST_P(GlBackend, DrawsTheSceneAsTheSoftwareBackendDoes) {
    tachy::test::ensureApplication();
    QOpenGLContext context;
    if (!context.create()) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    const QImage gl = render(GetParam(), "opengl");
    const QImage software = render(GetParam(), "software");
    gl.save(QStringLiteral("gl-scene.png"));
    expectAlike(gl, software, 6);
}

INSTANTIATE_TEST_SUITE_P(Scenes, GlBackend,
                         testing::Values(Scene{640, 360, 320, 180, 256, 50, 50, 0},   // fills
                                         Scene{640, 360, 240, 180, 256, 50, 50, 0},   // pillarboxed
                                         Scene{640, 360, 320, 180, 256, 80, 20, 3},   // ProcAmp, reversed
                                         Scene{768, 432, 640, 360, 512, 50, 50, 0}));  // zoom + overview

namespace {

// A run of pictures through one display of each backend: the picture shown after each.
std::vector<QImage> renderRun(const std::vector<tachy::test::YuvPicture>& pictures, const char* backend) {
    ::setenv("TACHY_VIDEO", backend, 1);
    DisplayUnderTest subject(320, 180);
    EXPECT_TRUE(subject.created);
    std::vector<QImage> shown;
    for (const auto& picture : pictures) {
        subject.display->SetVidStream(0, picture.planes, picture.width, picture.height, 0, 6, picture.strides);
        shown.push_back(presented(*subject.display));
    }
    return shown;
}

} // namespace

TEST(GlBackendTextures, EachPictureReplacesTheLastAlsoWhenItsSizeChanges) {
    tachy::test::ensureApplication();
    QOpenGLContext context;
    if (!context.create()) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    const std::array<QColor, 4> other{QColor(240, 240, 40), QColor(20, 20, 20), QColor(200, 40, 200),
                                      QColor(40, 200, 200)};
    // The same size twice (textures refreshed in place), then a narrower and a larger picture
    // (textures made again at the picture's size).
    // Moved in, not copied: a picture's plane pointers point into its own buffers.
    std::vector<tachy::test::YuvPicture> pictures;
    pictures.push_back(makeQuadrants(320, 180, kQuadrants));
    pictures.push_back(makeQuadrants(320, 180, other));
    pictures.push_back(makeQuadrants(240, 180, kQuadrants));
    pictures.push_back(makeQuadrants(640, 360, other));
    const std::vector<QImage> gl = renderRun(pictures, "opengl");
    const std::vector<QImage> software = renderRun(pictures, "software");
    ASSERT_EQ(gl.size(), pictures.size());
    for (std::size_t index = 0; index < pictures.size(); ++index) {
        SCOPED_TRACE(testing::Message() << "picture " << index);
        expectAlike(gl[index], software[index], 6);
    }
    EXPECT_TRUE(tachy::test::colourNear(gl[1].pixel(40, 20), other[0], 6));
    EXPECT_TRUE(tachy::test::colourNear(gl[3].pixel(280, 160), other[3], 6));
}

TEST(GlBackendChoice, ACpuRasterizerLeavesTheWorkToTheSoftwareBackend) {
    tachy::test::ensureApplication();
    QOpenGLContext context;
    QOffscreenSurface surface;
    if (!context.create() || (surface.create(), !context.makeCurrent(&surface))) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    const QByteArray renderer(reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER)));
    context.doneCurrent();
    ::unsetenv("TACHY_VIDEO");
    const bool cpu = renderer.toLower().contains("llvmpipe") || renderer.toLower().contains("softpipe");
    EXPECT_EQ(tachy::video::VideoDevice::chooseBackend(),
              cpu ? tachy::video::VideoBackend::Software : tachy::video::VideoBackend::OpenGl)
        << renderer.constData();
    ::setenv("TACHY_VIDEO", "opengl", 1);
    EXPECT_EQ(tachy::video::VideoDevice::chooseBackend(), tachy::video::VideoBackend::OpenGl);
}
