// tachyPlayer: the dash-camera card viewer.

#include "platform/folders/ProgramFolder.h"
#include "platform/udisks/UDisksServices.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/main/CTachyPlayerDlg.h"
#include "viewer/main/ViewerAutomation.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/map/WebEngineSetup.h"

#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <filesystem>

namespace {

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index) {
        arguments.push_back(QString::fromLocal8Bit(argv[index]));
    }
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    // The command line is read before the application object: --help, --version and a wrong
    // option need no display.
    ViewerAutomation automation;
    QString error;
    if (!automation.Parse(argumentList(argc, argv), error)) {
        std::fprintf(stderr, "tachyPlayer: %s\n", error.toUtf8().constData());
        return 2;
    }
    if (automation.WantsHelp() || automation.WantsVersion()) {
        const QString text = automation.WantsHelp() ? ViewerAutomation::Help()
                                                    : QStringLiteral("tachyPlayer " TACHY_VERSION);
        std::printf("%s\n", text.toUtf8().constData());
        return 0;
    }
    viewer::map::PrepareWebEngine();
    QApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TACHY_VERSION));
    // Cards are listed, opened and unmounted through UDisks2 where the desktop runs it, so that
    // formatting asks for authorisation instead of root; else the kernel's tables serve.
    tachy::udisks::installUDisksServices();
    if (automation.Quits()) {
        viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
    }
    CTachyPlayerApp app;
    QString message;
    const std::filesystem::path executableFolder = QApplication::applicationDirPath().toStdString();
    app.SetExecutableFolder(executableFolder);
    if (app.InitInstance(tachy::programFolderFor(executableFolder), message) != CTachyPlayerApp::Start::Ready) {
        if (!message.isEmpty()) {
            viewer::ShowMessage(nullptr, app.Language(), QString::fromStdString(app.Option().title), message, false);
        }
        return 1;
    }
    CTachyPlayerDlg window(app);
    if (!window.Initialize()) {
        return 1;
    }
    window.show();
    if (automation.Active()) {
        automation.Run(window);
    }
    const int result = QApplication::exec();
    return automation.Active() ? automation.ExitCode() : result;
}
