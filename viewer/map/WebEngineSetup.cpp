#include "viewer/map/WebEngineSetup.h"

#include "platform/debug/DebugOut.h"

#include <QCoreApplication>
#include <unistd.h>

namespace viewer::map {

void PrepareWebEngine() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
        tachy::DebugOut::write("tachyPlayer: running as root, the map page runs without its sandbox\n");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
}

} // namespace viewer::map
