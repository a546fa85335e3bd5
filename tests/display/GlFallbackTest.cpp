// A display whose OpenGL path keeps failing draws in software after a few resets, says so once in
// the debug output and goes on showing pictures; one lost context after good pictures does not
// give up on OpenGL. Runs under a real X server (xvfb-run), where Mesa's llvmpipe gives OpenGL;
// TACHY_VIDEO_FAULT=shader makes the OpenGL program fail to build.

#include "tests/display/DisplayFixture.h"

#include "display/DisplayMessages.h"
#include "platform/debug/DebugOut.h"
#include "platform/video/VideoDevice.h"

#include <QApplication>
#include <QOpenGLContext>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using tachy::test::colourNear;
using tachy::test::DisplayUnderTest;
using tachy::test::makeQuadrants;
using tachy::test::presented;
using tachy::video::VideoBackend;

namespace {

const std::array<QColor, 4> kQuadrants{QColor(220, 30, 30), QColor(30, 200, 40),
                                       QColor(40, 50, 210), QColor(235, 235, 235)};
constexpr const char* kFallbackLine = "drawing in software from now on";

// Sets an environment variable for the test's life.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        ::setenv(name, value, 1);
    }
    ~ScopedEnvironment() { ::unsetenv(m_name); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
};

// The debug lines written while it lives.
class DebugLines {
public:
    DebugLines()
        : m_previous(tachy::DebugOut::setSink(
              [this](std::string_view line) { m_lines.emplace_back(line); })) {}
    ~DebugLines() { tachy::DebugOut::setSink(m_previous); }
    DebugLines(const DebugLines&) = delete;
    DebugLines& operator=(const DebugLines&) = delete;

    int count(const std::string& text) const {
        return static_cast<int>(
            std::count_if(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
                return line.find(text) != std::string::npos;
            }));
    }

private:
    std::vector<std::string> m_lines;
    tachy::DebugOut::Sink m_previous;
};

VideoBackend backendOf(DisplayUnderTest& subject) {
    return subject.display->Device()->backend();
}

// One picture as the viewer's boxes do it: upload and draw, let the presenter paint, and answer
// each failed draw with a reset. The number of resets made.
int showAndRecover(DisplayUnderTest& subject, const tachy::test::YuvPicture& picture) {
    subject.display->SetVidStream(0, picture.planes, picture.width, picture.height, 0, 6,
                                  picture.strides);
    QApplication::processEvents();
    int resets = 0;
    for (const auto& notification : subject.owner.notifications) {
        if (notification.code == tachy::display::kDrawFailed &&
            subject.display->GetResetState() != 0) {
            resets += subject.display->ResetDisplay();
        }
    }
    subject.owner.notifications.clear();
    return resets;
}

bool openGlHere() {
    tachy::test::ensureApplication();
    QOpenGLContext context;
    return context.create();
}

} // namespace

TEST(GlFallback, AProgramThatNeverBuildsEndsInTheSoftwareBackendAndSaysSoOnce) {
    if (!openGlHere()) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    const ScopedEnvironment video("TACHY_VIDEO", "opengl");
    const ScopedEnvironment fault("TACHY_VIDEO_FAULT", "shader");
    const DebugLines log;
    DisplayUnderTest subject(320, 180);
    ASSERT_TRUE(subject.created);
    ASSERT_EQ(backendOf(subject), VideoBackend::OpenGl);
    const auto picture = makeQuadrants(320, 180, kQuadrants);
    int resets = 0;
    for (int attempt = 0; attempt < 40 && backendOf(subject) == VideoBackend::OpenGl; ++attempt) {
        resets += showAndRecover(subject, picture);
    }
    ASSERT_EQ(backendOf(subject), VideoBackend::Software);
    EXPECT_EQ(resets, CDxDisplay::kOpenGlAttempts);
    // Pictures again, in software, with no further resets and no second line.
    for (int again = 0; again < 3; ++again) {
        EXPECT_EQ(showAndRecover(subject, picture), 0);
    }
    const QImage shown = presented(*subject.display);
    EXPECT_TRUE(colourNear(shown.pixel(80, 45), kQuadrants[0], 3));
    EXPECT_TRUE(colourNear(shown.pixel(240, 135), kQuadrants[3], 3));
    EXPECT_EQ(log.count(kFallbackLine), 1);
    EXPECT_GE(log.count("OpenGL program could not be built"), CDxDisplay::kOpenGlAttempts);
}

TEST(GlFallback, ALostContextAfterGoodPicturesStaysOnOpenGl) {
    if (!openGlHere()) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    const ScopedEnvironment video("TACHY_VIDEO", "opengl");
    const DebugLines log;
    DisplayUnderTest subject(320, 180);
    ASSERT_TRUE(subject.created);
    const auto picture = makeQuadrants(320, 180, kQuadrants);
    // More losses than the display tolerates in a row, each after pictures were shown.
    for (int loss = 0; loss < CDxDisplay::kOpenGlAttempts + 2; ++loss) {
        EXPECT_EQ(showAndRecover(subject, picture), 0);
        ASSERT_EQ(backendOf(subject), VideoBackend::OpenGl);
        EXPECT_TRUE(colourNear(presented(*subject.display).pixel(80, 45), kQuadrants[0], 6))
            << "loss " << loss;
        subject.display->Device()->markLost();
        EXPECT_EQ(showAndRecover(subject, picture), 1);
    }
    EXPECT_EQ(backendOf(subject), VideoBackend::OpenGl);
    EXPECT_EQ(log.count(kFallbackLine), 0);
}
