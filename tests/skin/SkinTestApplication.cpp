#include "tests/skin/SkinTestApplication.h"

#include <memory>

namespace tachy::test {

// Widgets are drawn off screen unless the caller chose a platform.
QApplication& skinTestApplication() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "skin_tests";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QApplication> application =
        std::make_unique<QApplication>(argc, argv);
    return *application;
}

} // namespace tachy::test
