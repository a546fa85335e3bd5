// tachyPlayer: the dash-camera card viewer.

#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/main/CTachyPlayerDlg.h"
#include "viewer/main/ViewerAutomation.h"
#include "viewer/main/ViewerMessageBox.h"
#include "viewer/map/WebEngineSetup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    viewer::map::PrepareWebEngine();
    QApplication application(argc, argv);
    ViewerAutomation automation;
    QString error;
    if (!automation.Parse(QApplication::arguments(), error)) {
        std::fprintf(stderr, "%s\n", error.toUtf8().constData());
        return 2;
    }
    if (automation.Quits()) {
        viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
    }
    CTachyPlayerApp app;
    QString message;
    if (app.InitInstance(QApplication::applicationDirPath().toStdString(), message) != CTachyPlayerApp::Start::Ready) {
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
