// skingen: draws the default skin (pictures, image list and position file) into a folder, or
// the programs' desktop icons in the icon theme's sizes.
//   skingen OUTPUT-FOLDER
//   skingen --icons OUTPUT-FOLDER

#include "tools/skingen/DesktopIcons.h"
#include "tools/skingen/SkinWriter.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--icons")) {
        return tachy::skingen::writeDesktopIcons(arguments.at(2)) ? 0 : 1;
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: skingen OUTPUT-FOLDER\n       skingen --icons OUTPUT-FOLDER\n");
        return 2;
    }
    return tachy::skingen::writeSkin(arguments.at(1)) ? 0 : 1;
}
