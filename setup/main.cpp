// TachySetup: the recorder settings program. It asks for the card among the removable drives;
// "--card PATH" points it at a card's root (a mount point, an image's mount or any folder)
// instead.

#include "platform/folders/ProgramFolder.h"
#include "platform/udisks/UDisksServices.h"
#include "setup/CSetupDriveDlg.h"
#include "setup/CTachySetupApp.h"
#include "setup/CTachySetupDlg.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <filesystem>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("TachySetup"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits the recorder's settings file on a card."));
    parser.addHelpOption();
    const QCommandLineOption card(QStringLiteral("card"),
                                  QStringLiteral("The card's root: a mount point or a folder."),
                                  QStringLiteral("PATH"));
    parser.addOption(card);
    parser.process(application);
    // The card list and the format go through UDisks2 where the desktop runs it.
    tachy::udisks::installUDisksServices();

    CTachySetupApp app;
    if (app.InitInstance(tachy::programFolderFor(QCoreApplication::applicationDirPath().toStdString())) != CTachySetupApp::Start::Ready) {
        // No usable option file, or another settings program runs: nothing to show.
        return 0;
    }
    std::filesystem::path drive;
    if (parser.isSet(card)) {
        drive = QDir(parser.value(card)).absolutePath().toStdString();
    } else {
        CSetupDriveDlg choice(app.Language(), tachy::VolumeEnvironment{});
        choice.setWindowIcon(app.Icon());
        if (choice.exec() == QDialog::Accepted) {
            drive = choice.Drive().toStdString();
        }
    }
    CTachySetupDlg dialog(app, drive);
    if (!dialog.Setup()) {
        return 0;
    }
    dialog.exec();
    return 0;
}
