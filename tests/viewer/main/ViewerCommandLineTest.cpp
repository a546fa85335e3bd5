// The viewer's command line as on any Linux program: --help and --version print without a
// display, a path opens a card, Qt's own options are left to Qt, and a wrong option is refused
// with the usage.

#include "viewer/main/ViewerAutomation.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

struct Output {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the viewer with no display at all: no DISPLAY, no WAYLAND_DISPLAY, no platform plugin.
Output runWithoutDisplay(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TACHY_PLAYER), arguments);
    Output output;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return output;
    }
    output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    output.out = QString::fromUtf8(process.readAllStandardOutput());
    output.err = QString::fromUtf8(process.readAllStandardError());
    return output;
}

TEST(ViewerCommandLine, HelpAndVersionPrintWithoutADisplay) {
    const Output help = runWithoutDisplay({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: tachyPlayer"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("--version")));

    const Output version = runWithoutDisplay({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("tachyPlayer 0."))) << version.out.toStdString();

    const Output wrong = runWithoutDisplay({QStringLiteral("--no-such-option")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("unknown option --no-such-option")));
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("usage:")));
}

TEST(ViewerCommandLine, APathOpensACardAndQtsOptionsAreLeftToQt) {
    ViewerAutomation automation;
    QString error;
    ASSERT_TRUE(automation.Parse({QStringLiteral("tachyPlayer"), QStringLiteral("-platform"), QStringLiteral("offscreen"),
                                  QStringLiteral("/media/card"), QStringLiteral("-reverse")},
                                 error))
        << error.toStdString();
    EXPECT_TRUE(automation.Active());
    EXPECT_FALSE(automation.Quits());
    EXPECT_FALSE(automation.WantsHelp());

    ViewerAutomation twoPaths;
    EXPECT_FALSE(twoPaths.Parse({QStringLiteral("tachyPlayer"), QStringLiteral("/a"), QStringLiteral("/b")}, error));

    ViewerAutomation nothing;
    ASSERT_TRUE(nothing.Parse({QStringLiteral("tachyPlayer")}, error));
    EXPECT_FALSE(nothing.Active());
}

} // namespace
