// tachyWizard: the first-run wizard. Prepares the user's folders, tests the picture path through
// the video display and stores the outcome as the viewer's colour mode.

#include "platform/folders/ProgramFolder.h"
#include "wizard/CTachyWizardApp.h"
#include "wizard/CWizardDlg.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tachyWizard"));
    CTachyWizardApp app;
    QString message;
    const std::filesystem::path executableFolder =
        QCoreApplication::applicationDirPath().toStdString();
    if (!app.InitInstance(tachy::programFolderFor(executableFolder), message)) {
        QMessageBox::warning(nullptr, QStringLiteral("tachyWizard"), message);
        return 1;
    }
    CWizardDlg dialog(app.Language(), app.GetPaths().appPath, app.Option().title);
    dialog.exec();
    app.ExitInstance();
    return 0;
}
