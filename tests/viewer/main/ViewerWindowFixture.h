#pragma once
// The viewer's main window on a card of our own, off screen: a test fixture shared by the
// main-window suites. The card has three recordings of a second and a half, one per mode, from
// two small cameras: small enough to make quickly under ThreadSanitizer too.

#include "viewer/main/CTachyPlayerDlg.h"

#include "tests/support/QtTestApplication.h"
#include "tests/support/QtWait.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "skinctl/CCtrlSkinList.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/list/CTabList.h"
#include "viewer/list/ListConstants.h"
#include "viewer/main/ViewerMessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using tachy::test::TempFolder;

namespace viewer_test {

inline QApplication& application() {
    return tachy::test::testApplication();
}

using tachy::test::waitFor;
using tachy::test::whenOpen;

// ThreadSanitizer slows every thread several times over and unevenly: checks that need a
// recording to still be playing at a given moment cannot be relied on there. The play path still
// runs under it in the other tests.
#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif
#else
constexpr bool kUnderThreadSanitizer = false;
#endif

inline bool isDriveRoot(const QString&) {
    return true;
}

inline std::atomic<int> folderChecks{0};

inline bool isFolder(const QString&) {
    ++folderChecks;
    return false;
}

// The map checks its host with an echo; the tests reach only this machine.
inline void pointMapHostAtThisMachine(const std::filesystem::path& languageRoot) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(languageRoot)) {
        if (entry.path().extension() != ".ini") {
            continue;
        }
        QFile file(QString::fromStdString(entry.path().string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        text.replace("Map=tile.openstreetmap.org", "Map=127.0.0.1");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
}

class ViewerWindowFixture : public testing::Test {
protected:
    static void SetUpTestSuite() {
        application();
        viewer::SetAutomaticAnswer(true, viewer::Answer::Cancel);
        s_data = new TempFolder;  // NOLINT(cppcoreguidelines-owning-memory): freed in TearDownTestSuite
        std::filesystem::copy(TACHY_DATA_DIR, s_data->path() / "program", std::filesystem::copy_options::recursive);
        pointMapHostAtThisMachine(s_data->path() / "program" / "lang");
        // Three recordings of a second and a half, one per mode, two small cameras: small enough
        // to make quickly under ThreadSanitizer too.
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = s_data->path() / "card";
        options.channels = 2;
        options.seconds = 4.5;
        options.periodSeconds = 1.5;
        options.width = 96;
        options.height = 64;
        options.keyInterval = 10;
        options.modes = {"normal", "event", "parking"};
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    }
    static void TearDownTestSuite() {
        delete s_data;  // NOLINT(cppcoreguidelines-owning-memory)
        s_data = nullptr;
    }

    void SetUp() override {
        QString message;
        ASSERT_EQ(m_app.InitInstance(s_data->path() / "program", message), CTachyPlayerApp::Start::Ready)
            << message.toStdString();
        m_window = std::make_unique<CTachyPlayerDlg>(m_app);
        ASSERT_TRUE(m_window->Initialize());
        m_window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        m_window.reset();
    }

    // The recordings' list control.
    CCtrlSkinList& ListControl() const {
        auto* list = m_window->List()->findChild<CCtrlSkinList*>(
            QString::number(tachy::viewer::kListControlId));
        EXPECT_NE(list, nullptr);
        return *list;
    }
    // Clicks the row in the list control, as a user does; the list then has the focus.
    void ClickRow(int row) {
        CCtrlSkinList& list = ListControl();
        list.EnsureVisible(row);
        const QRect rect = list.RowRect(row);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(rect.right() - 4, rect.center().y()));
        QApplication::processEvents();
    }
    // A key as the keyboard gives it: to the widget that has the focus.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr) << "nothing has the focus";
        QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    static QString card() { return QString::fromStdString((s_data->path() / "card").string()); }
    static void saveArtifact(const QImage& image, const char* name) {
        std::filesystem::create_directories(TACHY_ARTIFACT_DIR);
        image.save(QString::fromLatin1(TACHY_ARTIFACT_DIR) + QLatin1Char('/') + QLatin1String(name));
    }

    static inline TempFolder* s_data = nullptr;
    CTachyPlayerApp m_app;
    std::unique_ptr<CTachyPlayerDlg> m_window;
};

} // namespace viewer_test
