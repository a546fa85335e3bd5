// The wizard dialog in software rendering (Qt's offscreen platform): a whole run samples the test
// colour and writes colour mode and registry value, injected samples steer the mode, and a dialog
// closed early writes nothing and stops its feeding thread.

#include "display/CWndScrD3D.h"
#include "platform/folders/SpecialFolder.h"
#include "platform/profile/ProfileFile.h"
#include "platform/video/VideoDevice.h"
#include "skinres/CExLangManager.h"
#include "tests/support/TempFolder.h"
#include "tests/wizard/WizardFixture.h"
#include "wizard/CWizardDlg.h"

#include <QDir>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

constexpr int kRunBoundMs = 60000; // a hung run fails instead of blocking the suite

std::filesystem::path appPath(const std::string& title) {
    return tachy::SpecialFolder::path(tachy::SpecialFolder::Kind::ApplicationData) / title;
}

// Runs the dialog to its end (or until `stopAt` ticks, then closes it); answers the samples'
// images by counter.
std::map<int, QImage> runDialog(CWizardDlg& dialog, int stopAt = 0) {
    std::map<int, QImage> images;
    dialog.SetSampleObserver([&](int counter, const QImage& image) { images[counter] = image; });
    dialog.show();
    if (stopAt > 0) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.Counter() >= stopAt; }, kRunBoundMs));
        dialog.close();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, kRunBoundMs));
    return images;
}

QImage solid(QRgb colour) {
    QImage image(420, 300, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

std::string logText(const std::string& title) {
    std::string text;
    const std::filesystem::path folder = appPath(title) / "log";
    if (!std::filesystem::is_directory(folder)) {
        return text;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        text += tachy::test::readAll(entry.path());
    }
    return text;
}

} // namespace

TEST(WizardDialog, AFullRunInSoftwareSamplesTheTestColourAndWritesColourModeOne) {
    const std::string title = "Wizard Run";
    std::filesystem::create_directories(appPath(title));
    CExLangManager language;
    language.LoadSetupText(QStringLiteral(TACHY_DATA_DIR "/lang/ENG/lang_eng.ini"));
    CWizardDlg dialog(language, appPath(title), title);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Preparing Tachy Player"));
    const std::map<int, QImage> images = runDialog(dialog);

    auto* display = dynamic_cast<CWndScrD3D*>(dialog.Display());
    ASSERT_NE(display, nullptr);
    ASSERT_NE(display->Device(), nullptr);
    EXPECT_EQ(display->Device()->backend(), tachy::video::VideoBackend::Software);
    ASSERT_EQ(images.size(), 3U);
    EXPECT_EQ(images.begin()->first, 5);
    EXPECT_EQ(images.rbegin()->first, 95);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(
            ColourSamples::Near(dialog.Samples().Sample(slot), ColourSamples::TestColourBt709(), 2))
            << "slot " << slot << ": "
            << QColor(dialog.Samples().Sample(slot)).name().toStdString();
    }
    EXPECT_EQ(dialog.WrittenColorMode(), 1);
    EXPECT_EQ(tachy::test::storedColorMode(title), std::optional<std::uint32_t>(1));
    const tachy::ProfileFile settings =
        tachy::ProfileFile::load(tachy::test::viewerSettingsFile(title));
    EXPECT_TRUE(settings.exists());
    EXPECT_EQ(settings.readInt("Global", "Zoom Mode", -1), 2);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.FeederRunning());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("1001"))->text(), QStringLiteral("100 %"));
    EXPECT_EQ(logText(title).find("could not be verified"), std::string::npos);

    const QDir artifacts(QStringLiteral(TACHY_ARTIFACT_DIR));
    artifacts.mkpath(QStringLiteral("."));
    images.at(50).save(artifacts.filePath(QStringLiteral("wizard-software-mid-count.png")));
}

TEST(WizardDialog, InjectedSamplesThatDifferGiveModeZero) {
    const std::string title = "Wizard Differ";
    std::filesystem::create_directories(appPath(title));
    CExLangManager language;
    CWizardDlg dialog(language, appPath(title), title);
    int calls = 0;
    dialog.SetRenderer([&](QWidget&) {
        return solid(++calls == 2 ? qRgb(200, 0, 0) : ColourSamples::TestColourBt709());
    });
    runDialog(dialog);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(dialog.WrittenColorMode(), 0);
    EXPECT_EQ(tachy::test::storedColorMode(title), std::optional<std::uint32_t>(0));
    EXPECT_EQ(logText(title).find("could not be verified"), std::string::npos);
}

TEST(WizardDialog, EqualSamplesFarFromTheTestColourGiveModeOneAndALogLine) {
    const std::string title = "Wizard Black";
    std::filesystem::create_directories(appPath(title));
    CExLangManager language;
    CWizardDlg dialog(language, appPath(title), title);
    dialog.SetRenderer([](QWidget&) { return solid(qRgb(0, 0, 0)); });
    runDialog(dialog);
    EXPECT_EQ(dialog.WrittenColorMode(), 1);
    EXPECT_EQ(tachy::test::storedColorMode(title), std::optional<std::uint32_t>(1));
    const std::string log = logText(title);
    EXPECT_NE(log.find("the picture path could not be verified: samples #000000 #000000 #000000"),
              std::string::npos)
        << log;
}

TEST(WizardDialog, ClosingEarlyWritesNothingAndStopsTheFeedingThread) {
    const std::string title = "Wizard Early";
    std::filesystem::create_directories(appPath(title));
    CExLangManager language;
    CWizardDlg dialog(language, appPath(title), title);
    const std::map<int, QImage> images = runDialog(dialog, 10);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.FeederRunning());
    // The sample at 5 may have been taken; the end never comes.
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.WrittenColorMode(), -1);
    EXPECT_FALSE(tachy::test::storedColorMode(title).has_value());
    EXPECT_FALSE(std::filesystem::exists(tachy::test::viewerSettingsFile(title)));
    EXPECT_LT(images.size(), 2U);
}
