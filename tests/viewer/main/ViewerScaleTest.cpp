// The main window at a device-pixel ratio of 2 (Qt's own scale factor, set before the
// application starts): the same layout in logical pixels as at ratio 1, and pictures drawn from
// the skin's double-size set, so that a line one design pixel wide is two screen pixels wide.
// The ratio-1 layout comes from this same program run again with the ratio set to 1.

#include "tests/viewer/main/ViewerWindowFixture.h"

#include "skinctl/CCtrlButtonEx.h"
#include "tests/support/Command.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace viewer_test; // NOLINT(google-build-using-namespace): the fixture's helpers

namespace {

// Set before main(), hence before the test application exists; a run started with its own
// ratio (the ratio-1 run below) keeps it.
const bool kRatioSet = [] {
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
        qputenv("QT_SCALE_FACTOR", "2");
    }
    qputenv("TACHY_MAP", "off");
    return true;
}();

const QSize kSizes[] = {QSize(1280, 800), QSize(1920, 1080)};

// Every visible widget of the window, in creation order: class, name and place in the window.
std::string layoutOf(const QWidget& window) {
    std::ostringstream out;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&window)) {
            continue;
        }
        const QRect place(child->mapTo(&window, QPoint(0, 0)), child->size());
        out << child->metaObject()->className() << " '" << child->objectName().toStdString() << "' "
            << place.x() << ',' << place.y() << ' ' << place.width() << 'x' << place.height()
            << '\n';
    }
    return out.str();
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

QImage skinPicture(const char* file) {
    return QImage(QStringLiteral(TACHY_DATA_DIR "/skin/img/") + QLatin1String(file))
        .convertToFormat(QImage::Format_ARGB32);
}

class ViewerScale : public ViewerWindowFixture {
protected:
    // The window's layout at each size, one block per size.
    std::string layoutAtEverySize() {
        std::string all;
        for (const QSize size : kSizes) {
            m_window->resize(size);
            QApplication::processEvents();
            all += "at " + std::to_string(size.width()) + "x" + std::to_string(size.height()) +
                   "\n" + layoutOf(*m_window);
        }
        return all;
    }
};

} // namespace

// Run on its own with TACHY_LAYOUT_OUT set: writes the layout for the comparison below.
TEST_F(ViewerScale, WritesItsLayoutWhenAsked) {
    const QByteArray out = qgetenv("TACHY_LAYOUT_OUT");
    if (out.isEmpty()) {
        GTEST_SKIP() << "run by DoubleRatioKeepsTheLayoutAndDrawsDoubleSizePictures";
    }
    std::ofstream(out.toStdString(), std::ios::binary | std::ios::trunc) << layoutAtEverySize();
}

TEST_F(ViewerScale, DoubleRatioKeepsTheLayoutAndDrawsDoubleSizePictures) {
    ASSERT_EQ(m_window->devicePixelRatioF(), 2.0);
    EXPECT_EQ(m_app.Images().PictureScale(), 2);
    ASSERT_TRUE(m_window->OpenPath(card()));

    // The same logical places as at ratio 1, at the design size and at 1920 x 1080.
    const std::string layout = layoutAtEverySize();
    const std::string ratioOneFile = (s_data->path() / "layout-ratio-1.txt").string();
    bool ran = false;
    tachy::test::runCommand("QT_SCALE_FACTOR=1 TACHY_LAYOUT_OUT='" + ratioOneFile + "' /proc/" +
                                std::to_string(::getpid()) +
                                "/exe --gtest_filter=ViewerScale.WritesItsLayoutWhenAsked",
                            &ran);
    ASSERT_TRUE(ran);
    const std::string ratioOne = readText(ratioOneFile);
    ASSERT_GT(std::count(ratioOne.begin(), ratioOne.end(), '\n'), 40);
    EXPECT_EQ(layout, ratioOne);

    // At the design size each design pixel is 2 x 2 screen pixels.
    m_window->resize(1280, 800);
    QApplication::processEvents();
    const QImage window = m_window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(window.size(), QSize(2560, 1600));
    saveArtifact(window, "viewer-english-dpr2.png");
    // The title bar's bottom line, one design pixel at y 55, is the screen rows 110 and 111.
    const int x = 700;
    EXPECT_EQ(window.pixel(x, 109), 0xFF1E2126u);
    EXPECT_EQ(window.pixel(x, 110), 0xFF2A2E35u);
    EXPECT_EQ(window.pixel(x, 111), 0xFF2A2E35u);
    EXPECT_NE(window.pixel(x, 112), 0xFF2A2E35u);

    // A toolbar button shows its double-size picture pixel for pixel: every opaque pixel of
    // "openfolder_normal@2x.png", including those where the design-size picture enlarged
    // would differ.
    auto* button = m_window->findChild<CCtrlButtonEx*>(QStringLiteral("Open Folder"));
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->size(), QSize(48, 48));
    const QImage shown = button->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage doubled = skinPicture("openfolder_normal@2x.png");
    const QImage enlarged = skinPicture("openfolder_normal.png").scaled(96, 96);
    ASSERT_EQ(shown.size(), QSize(96, 96));
    ASSERT_EQ(doubled.size(), QSize(96, 96));
    int opaque = 0;
    int finer = 0;
    for (int y = 0; y < 96; ++y) {
        for (int px = 0; px < 96; ++px) {
            const QRgb expected = doubled.pixel(px, y);
            if (qAlpha(expected) != 255) {
                continue;
            }
            ++opaque;
            finer += enlarged.pixel(px, y) != expected;
            const QRgb got = shown.pixel(px, y);
            EXPECT_LE(std::abs(qRed(got) - qRed(expected)) +
                          std::abs(qGreen(got) - qGreen(expected)) +
                          std::abs(qBlue(got) - qBlue(expected)),
                      6)
                << "at " << px << "," << y;
        }
    }
    EXPECT_GT(opaque, 100);
    EXPECT_GT(finer, 20);
}
