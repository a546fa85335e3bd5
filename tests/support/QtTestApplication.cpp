#include "tests/support/QtTestApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace tachy::test {

namespace {

// Holds the application from the start of the test run to its end, so that it is gone before
// Qt's own static objects are.
class ApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override {
        // Widgets are drawn off screen unless the caller chose a platform.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        // Web views (the viewer's map) need shared OpenGL contexts from the start, and their
        // sandbox cannot run as root, which is how the tests run in CI.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        }
        m_application = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    int m_argc = 1;
    char m_name[12] = "tachy_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_application;
};

// gtest owns registered environments.
[[maybe_unused]] testing::Environment* const g_environment =
    testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

QApplication& testApplication() {
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

} // namespace tachy::test
