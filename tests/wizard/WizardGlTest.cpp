// The wizard under a real X server (xvfb-run), with the display drawing through OpenGL: the
// samples are what OpenGL drew, the test picture's colour, and the run writes colour mode 1.

#include "display/CWndScrD3D.h"
#include "platform/folders/SpecialFolder.h"
#include "platform/video/GlVideoDevice.h"
#include "platform/video/VideoDevice.h"
#include "skinres/CExLangManager.h"
#include "tests/wizard/WizardFixture.h"
#include "wizard/CWizardDlg.h"
#include "wizard/WindowSampler.h"

#include <QDir>
#include <QOpenGLContext>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

TEST(WizardOpenGl, TheSamplesAreWhatOpenGlDrew) {
    QOpenGLContext context;
    if (!context.create()) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    ::setenv("TACHY_VIDEO", "opengl", 1);
    const std::string title = "Wizard OpenGL";
    const std::filesystem::path appPath =
        tachy::SpecialFolder::path(tachy::SpecialFolder::Kind::ApplicationData) / title;
    std::filesystem::create_directories(appPath);
    CExLangManager language;
    language.LoadSetupText(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
    CWizardDlg dialog(language, appPath, title);
    std::map<int, QImage> images;
    std::map<int, QRgb> drawn; // the display's own read-back at the same moment
    dialog.SetSampleObserver([&](int counter, const QImage& image) {
        images[counter] = image;
        auto* display = dynamic_cast<CWndScrD3D*>(dialog.Display());
        auto* device = display != nullptr
                           ? dynamic_cast<tachy::video::GlVideoDevice*>(display->Device())
                           : nullptr;
        if (device != nullptr) {
            const QImage frame = device->lastImage();
            drawn[counter] = frame.pixel(frame.width() / 2, frame.height() / 2);
        }
    });
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 60000));
    ::unsetenv("TACHY_VIDEO");

    auto* display = dynamic_cast<CWndScrD3D*>(dialog.Display());
    ASSERT_NE(display, nullptr);
    ASSERT_NE(display->Device(), nullptr);
    EXPECT_EQ(display->Device()->backend(), tachy::video::VideoBackend::OpenGl);
    ASSERT_EQ(drawn.size(), 3U);
    for (const auto& [counter, pixel] : drawn) {
        const QRgb sample = dialog.Samples().Sample(ColourSamples::SlotFor(counter));
        EXPECT_TRUE(ColourSamples::Near(sample, pixel, 2))
            << counter << ": sampled " << QColor(sample).name().toStdString() << ", OpenGL drew "
            << QColor(pixel).name().toStdString();
        EXPECT_TRUE(ColourSamples::Near(sample, ColourSamples::TestColourBt709(), 6))
            << counter << ": " << QColor(sample).name().toStdString();
    }
    EXPECT_EQ(dialog.WrittenColorMode(), 1);
    EXPECT_EQ(tachy::test::storedColorMode(title), std::optional<std::uint32_t>(1));

    const QDir artifacts(QStringLiteral(TACHY_ARTIFACT_DIR));
    artifacts.mkpath(QStringLiteral("."));
    images.at(50).save(artifacts.filePath(QStringLiteral("wizard-opengl-mid-count.png")));
}
