// The viewer's first start on a real X server: with no colour mode stored, the viewer starts the
// wizard beside it, which runs to its end by itself and stores the mode; a second start finds the
// mode and does not run the wizard again.

#include "platform/registry/Registry.h"
#include "tests/wizard/WizardFixture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

const std::string kTitle = "Tachy Player"; // the title of the installed option file's block

// Starts the viewer and lets it quit once its window is up; answers its exit code.
int runViewer() {
    QProcess viewer;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TACHY_MAP"), QStringLiteral("off"));
    environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    viewer.setProcessEnvironment(environment);
    viewer.start(QStringLiteral(TACHY_PLAYER),
                 {QStringLiteral("--after"), QStringLiteral("200"), QStringLiteral("--quit")});
    if (!viewer.waitForFinished(100000)) {
        viewer.kill();
        viewer.waitForFinished();
        return -1;
    }
    return viewer.exitStatus() == QProcess::NormalExit ? viewer.exitCode() : -1;
}

} // namespace

TEST(WizardFirstStart, TheViewersFirstStartRunsTheWizardToItsEndAndTheSecondDoesNot) {
    ASSERT_FALSE(tachy::test::storedColorMode(kTitle).has_value());
    EXPECT_EQ(runViewer(), 0);
    // The wizard's samples of a solid picture are equal: mode 1, and the viewer's settings file.
    EXPECT_EQ(tachy::test::storedColorMode(kTitle), std::optional<std::uint32_t>(1));
    EXPECT_TRUE(std::filesystem::exists(tachy::test::viewerSettingsFile(kTitle)));

    // A mode the wizard would not write: a second run of it would replace it with 1.
    tachy::Registry registry;
    ASSERT_TRUE(
        registry.writeDword("software\\" + kTitle + "\\tachyPlayer\\VideoCtrl", "ColorMode", 0));
    EXPECT_EQ(runViewer(), 0);
    EXPECT_EQ(tachy::test::storedColorMode(kTitle), std::optional<std::uint32_t>(0));
}
