// "Export track" and "Export video" reached as a user reaches them: a right click on the list's
// rows or the keys on the focused list, then the dialogs' own widgets. The files are judged by
// programs we did not write: xmllint against the GPX 1.1 schema, gpsbabel and ffprobe.

#include "engine/CTimeList.h"
#include "skinctl/CCtrlSkinList.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/QtWait.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "viewer/app/CTachyPlayerApp.h"
#include "viewer/dialogs/CDoExportVideo.h"
#include "viewer/dialogs/CExportVideoDlg.h"
#include "viewer/list/CTabList.h"
#include "viewer/main/CTachyPlayerDlg.h"
#include "viewer/main/ViewerMessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/wait.h>

using tachy::test::TempFolder;

namespace {

using tachy::test::waitFor;

struct ShellRun {
    int exitCode = -1;
    std::string out;
};

// Runs a shell command; its exit code and standard output (standard error joined to it).
ShellRun Shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool Installed(const char* program) {
    return Shell(std::string("command -v ") + program).exitCode == 0;
}

// Does `act` once to the first visible top-level widget of type W named `name` (any name when
// empty), from a timer, so that it runs inside the modal loop that shows the widget.
template <typename W> class WhenShown {
public:
    WhenShown(const char* name, std::function<void(W&)> act) : m_name(name), m_act(std::move(act)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Look(); });
        m_timer.start(10);
    }
    bool Done() const { return m_done; }

private:
    void Look() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* wanted = qobject_cast<W*>(widget);
            if (wanted != nullptr && wanted->isVisible() &&
                (*m_name == '\0' || wanted->objectName() == QLatin1String(m_name))) {
                m_timer.stop();
                m_done = true;
                m_act(*wanted);
                return;
            }
        }
    }

    const char* m_name;
    std::function<void(W&)> m_act;
    QTimer m_timer;
    bool m_done = false;
};

// Clicks the menu entry named `name` of the popup menu the right click opened.
void ChooseFromMenu(QMenu& menu, const char* name) {
    for (QAction* action : menu.actions()) {
        if (action->objectName() == QLatin1String(name)) {
            QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
            return;
        }
    }
    ADD_FAILURE() << "no menu entry " << name;
    menu.close();
}

// Names the file in the save dialog, picks the file type and saves.
void SaveAs(QFileDialog& dialog, const QString& filter, const std::filesystem::path& file) {
    dialog.selectNameFilter(filter);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (name == nullptr || buttons == nullptr) {
        ADD_FAILURE() << "the save dialog has no name field or buttons";
        dialog.reject();
        return;
    }
    name->setText(QString::fromStdString(file.string()));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
}

// How many nodes `xpath` finds in the XML file, by xmllint.
int XmlCount(const std::string& xpath, const std::filesystem::path& file) {
    const ShellRun run = Shell("xmllint --xpath 'count(" + xpath + ")' '" + file.string() + "'");
    return run.exitCode == 0 ? std::stoi(run.out) : -1;
}

std::string XmlText(const std::string& xpath, const std::filesystem::path& file) {
    std::string text = Shell("xmllint --xpath 'string(" + xpath + ")' '" + file.string() + "'").out;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string IsoTime(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"))
        .toStdString();
}

class ExportTools : public testing::Test {
protected:
    static constexpr int kFramesPerSecond = 30;
    static constexpr int kRecordingSeconds = 4;

    static void SetUpTestSuite() {
        tachy::test::testApplication();
        s_data = new TempFolder; // NOLINT(cppcoreguidelines-owning-memory): freed in TearDown
        std::filesystem::copy(TACHY_DATA_DIR, s_data->path() / "program",
                              std::filesystem::copy_options::recursive);
        // Three recordings of four seconds, two cameras, with a position per picture.
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = s_data->path() / "card";
        options.channels = 2;
        options.seconds = 3 * kRecordingSeconds;
        options.periodSeconds = kRecordingSeconds;
        options.width = 320;
        options.height = 240;
        options.framesPerSecond = kFramesPerSecond;
        options.keyInterval = kFramesPerSecond;
        options.modes = {"normal"};
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    }
    static void TearDownTestSuite() {
        delete s_data; // NOLINT(cppcoreguidelines-owning-memory)
        s_data = nullptr;
    }

    void SetUp() override {
        viewer::SetAutomaticAnswer(true, viewer::Answer::Ok);
        QString message;
        ASSERT_EQ(m_app.InitInstance(s_data->path() / "program", message),
                  CTachyPlayerApp::Start::Ready)
            << message.toStdString();
        m_window = std::make_unique<CTachyPlayerDlg>(m_app);
        ASSERT_TRUE(m_window->Initialize());
        m_window->show();
        QApplication::processEvents();
        ASSERT_TRUE(m_window->OpenPath(QString::fromStdString((s_data->path() / "card").string())));
        ASSERT_EQ(m_window->List()->GetItemCount(), 3);
    }
    void TearDown() override { m_window.reset(); }

    CCtrlSkinList& ListControl() const { return *m_window->List()->findChild<CCtrlSkinList*>(); }

    void Tick(int row) {
        QTest::mouseClick(&ListControl(), Qt::LeftButton, {},
                          ListControl().CheckRect(row).center());
    }

    // A right click on the first row: the menu request the window system sends for it.
    void RightClickList() {
        const QPoint at = ListControl().RowRect(0).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, ListControl().mapToGlobal(at));
        QApplication::sendEvent(&ListControl(), &click);
    }

    QString Text(const char* key) const { return viewer::LanguageText(m_app.Language(), key); }

    // Plays the first recording and pauses it `seconds` into it; the picture's time (UTC ms).
    std::int64_t PauseInFirstRecording(int seconds) {
        m_window->List()->SelectRow(0);
        m_window->Play();
        EXPECT_TRUE(waitFor(
            [&] { return m_window->PicturesShown(0) >= seconds * kFramesPerSecond; }, 60000));
        m_window->PauseOrResume();
        QTest::qWait(100);
        const auto values = m_window->DrivingValues();
        return values.second * 1000 + values.millisecond;
    }

    static TempFolder* s_data;
    CTachyPlayerApp m_app;
    std::unique_ptr<CTachyPlayerDlg> m_window;
    TempFolder m_out;
};

TempFolder* ExportTools::s_data = nullptr;

} // namespace

TEST_F(ExportTools, TrackOfTwoCheckedRowsFromTheListsMenuIsValidGpxInTimeOrder) {
    Tick(2);
    Tick(0);
    ASSERT_EQ(m_window->List()->GetCheckedCount(), 2);
    const std::filesystem::path gpx = m_out.path() / "route.gpx";
    WhenShown<QMenu> menu("", [](QMenu& shown) { ChooseFromMenu(shown, "export track"); });
    WhenShown<QFileDialog> save("ExportTrackFile", [&](QFileDialog& dialog) {
        SaveAs(dialog, Text("export track filter gpx"), gpx);
    });
    RightClickList();
    ASSERT_TRUE(waitFor([&] { return menu.Done() && save.Done(); }, 30000));
    ASSERT_TRUE(waitFor([] { return viewer::LastMessageKey() == "export track done"; }, 60000))
        << viewer::LastMessageKey().toStdString();
    ASSERT_TRUE(std::filesystem::exists(gpx));
    EXPECT_FALSE(std::filesystem::exists(gpx.string() + ".part"));

    const ShellRun valid = Shell("xmllint --noout --schema '" + std::string(TACHY_SOURCE_DIR) +
                                 "/tests/cli/gpx-1.1.xsd' '" + gpx.string() + "'");
    EXPECT_EQ(valid.exitCode, 0) << valid.out;
    // A track per ticked recording, oldest first, a point per picture of the front camera.
    CTimeList first;
    CTimeList last;
    ASSERT_TRUE(m_window->List()->CopyEntry(0, first));
    ASSERT_TRUE(m_window->List()->CopyEntry(2, last));
    const std::string trk = "/*[local-name()=\"gpx\"]/*[local-name()=\"trk\"]";
    EXPECT_EQ(XmlCount(trk, gpx), 2);
    const int perRecording = kRecordingSeconds * kFramesPerSecond;
    EXPECT_EQ(XmlCount(trk + "[1]//*[local-name()=\"trkpt\"]", gpx), perRecording);
    EXPECT_EQ(XmlCount(trk + "//*[local-name()=\"trkpt\"]", gpx), 2 * perRecording);
    EXPECT_EQ(XmlText(trk + "[1]//*[local-name()=\"trkpt\"][1]/*[local-name()=\"time\"]", gpx),
              IsoTime(first.m_llStartTime[0]));
    EXPECT_EQ(XmlText(trk + "[2]//*[local-name()=\"trkpt\"][1]/*[local-name()=\"time\"]", gpx),
              IsoTime(last.m_llStartTime[0]));
    // The last picture's time, on the recording's own clock of whole milliseconds.
    EXPECT_EQ(XmlText(trk + "[2]//*[local-name()=\"trkpt\"][last()]/*[local-name()=\"time\"]", gpx),
              IsoTime(last.m_llStartTime[0] + (perRecording - 1) * 1000 / kFramesPerSecond));
}

TEST_F(ExportTools, KmlOfThePlayingRecordingReadsBackWithGpsbabel) {
    if (!Installed("gpsbabel")) {
        GTEST_SKIP() << "gpsbabel is not installed (Debian package gpsbabel)";
    }
    PauseInFirstRecording(1);
    ASSERT_EQ(m_window->List()->GetCheckedCount(), 0);
    const std::filesystem::path kml = m_out.path() / "route";
    WhenShown<QFileDialog> save("ExportTrackFile", [&](QFileDialog& dialog) {
        SaveAs(dialog, Text("export track filter kml"), kml);
    });
    ListControl().setFocus();
    QTest::keyClick(&ListControl(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return save.Done(); }, 30000));
    ASSERT_TRUE(waitFor([] { return viewer::LastMessageKey() == "export track done"; }, 60000))
        << viewer::LastMessageKey().toStdString();
    // The file type chosen gave the writer and the suffix.
    const std::filesystem::path written = kml.string() + ".kml";
    ASSERT_TRUE(std::filesystem::exists(written));
    const ShellRun babel = Shell("gpsbabel -t -i kml -f '" + written.string() +
                                 "' -o unicsv,utc=0 -F - | tr -d '\\r'");
    ASSERT_EQ(babel.exitCode, 0) << babel.out;
    CTimeList played;
    ASSERT_TRUE(m_window->List()->CopyEntry(0, played));
    const std::string day =
        QDateTime::fromMSecsSinceEpoch(played.m_llStartTime[0], QTimeZone::utc())
            .toString(QStringLiteral("yyyy/MM/dd,HH:mm:ss"))
            .toStdString();
    EXPECT_NE(babel.out.find(day + "\n"), std::string::npos) << babel.out.substr(0, 300);
    const std::string lastRow = "\n" + std::to_string(kRecordingSeconds * kFramesPerSecond) + ",";
    EXPECT_NE(babel.out.find(lastRow), std::string::npos);
    EXPECT_EQ(babel.out.find("\n" + std::to_string(kRecordingSeconds * kFramesPerSecond + 1) + ","),
              std::string::npos);
}

TEST_F(ExportTools, VideoOfTheSpanAroundThePictureSideBySide) {
    if (!Installed("ffprobe")) {
        GTEST_SKIP() << "ffprobe is not installed (Debian package ffmpeg)";
    }
    const std::int64_t pictureMs = PauseInFirstRecording(2);
    const std::filesystem::path mp4 = m_out.path() / "incident.mp4";
    WhenShown<viewer::dialogs::CExportVideoDlg> dialog("CExportVideoDlg", [&](QDialog& shown) {
        for (const char* name : {"before", "after"}) {
            auto* seconds = shown.findChild<QSpinBox*>(QLatin1String(name));
            seconds->selectAll();
            QTest::keyClicks(seconds, "1");
        }
        auto* layout = shown.findChild<QComboBox*>(QStringLiteral("layout"));
        EXPECT_EQ(layout->count(), 3); // two cameras: no grid
        layout->setCurrentIndex(layout->findText(Text("export layout side")));
        shown.findChild<QLineEdit*>(QStringLiteral("path"))
            ->setText(QString::fromStdString(mp4.string()));
        QTest::mouseClick(shown.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    });
    ListControl().setFocus();
    QTest::keyClick(&ListControl(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return dialog.Done(); }, 30000));
    ASSERT_TRUE(waitFor([] { return viewer::LastMessageKey() == "export video done"; }, 120000))
        << viewer::LastMessageKey().toStdString();
    ASSERT_TRUE(std::filesystem::exists(mp4));
    EXPECT_FALSE(std::filesystem::exists(mp4.string() + ".part"));
    // Still paused where it was.
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);
    const auto values = m_window->DrivingValues();
    EXPECT_EQ(values.second * 1000 + values.millisecond, pictureMs);

    const ShellRun probe = Shell("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                 "stream=codec_name,width,height,nb_read_frames -of csv=p=0 '" +
                                 mp4.string() + "'");
    ASSERT_EQ(probe.exitCode, 0) << probe.out;
    // Two 320x240 cameras next to each other; a second before and after the picture.
    EXPECT_EQ(probe.out, "h264,640,240," + std::to_string(2 * kFramesPerSecond) + "\n");
    const ShellRun duration =
        Shell("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + mp4.string() + "'");
    ASSERT_EQ(duration.exitCode, 0) << duration.out;
    EXPECT_NEAR(std::stod(duration.out), 2.0, 0.15);
}

TEST_F(ExportTools, CancelledVideoLeavesNoFile) {
    PauseInFirstRecording(1);
    const std::filesystem::path mp4 = m_out.path() / "whole.mp4";
    WhenShown<QMenu> menu("", [](QMenu& shown) { ChooseFromMenu(shown, "export video"); });
    WhenShown<viewer::dialogs::CExportVideoDlg> dialog("CExportVideoDlg", [&](QDialog& shown) {
        // The whole card: the span is clamped to the recordings.
        for (const char* name : {"before", "after"}) {
            shown.findChild<QSpinBox*>(QLatin1String(name))->setValue(600);
        }
        shown.findChild<QLineEdit*>(QStringLiteral("path"))
            ->setText(QString::fromStdString(mp4.string()));
        QTest::mouseClick(shown.findChild<QPushButton*>(QStringLiteral("1")), Qt::LeftButton);
    });
    WhenShown<viewer::dialogs::CDoExportVideo> progress("CDoExportVideo", [](QDialog& shown) {
        QTest::mouseClick(shown.findChild<QPushButton*>(QStringLiteral("2")), Qt::LeftButton);
    });
    RightClickList();
    ASSERT_TRUE(waitFor([&] { return progress.Done(); }, 60000));
    ASSERT_TRUE(waitFor([] { return viewer::LastMessageKey() == "export video stopped"; }, 60000))
        << viewer::LastMessageKey().toStdString();
    EXPECT_FALSE(std::filesystem::exists(mp4));
    EXPECT_FALSE(std::filesystem::exists(mp4.string() + ".part"));
    EXPECT_TRUE(std::filesystem::is_empty(m_out.path()));
}

TEST_F(ExportTools, TrackOfRecordingsWithoutPositionsSaysSoAndWritesNothing) {
    // Vehicle values only: speed and engine, no position.
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = m_out.path() / "vehicle";
    options.channels = 1;
    options.seconds = 2;
    options.periodSeconds = 1;
    options.width = 64;
    options.height = 48;
    options.framesPerSecond = 10;
    options.keyInterval = 10;
    options.recordKind = 57;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    ASSERT_TRUE(m_window->OpenPath(QString::fromStdString(options.out.string())));
    ASSERT_EQ(m_window->List()->GetItemCount(), 2);
    Tick(0);
    Tick(1);
    const std::filesystem::path gpx = m_out.path() / "none.gpx";
    WhenShown<QFileDialog> save("ExportTrackFile", [&](QFileDialog& dialog) {
        SaveAs(dialog, Text("export track filter gpx"), gpx);
    });
    ListControl().setFocus();
    QTest::keyClick(&ListControl(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return save.Done(); }, 30000));
    ASSERT_TRUE(waitFor([] { return viewer::LastMessageKey() == "export no positions"; }, 60000))
        << viewer::LastMessageKey().toStdString();
    EXPECT_FALSE(std::filesystem::exists(gpx));
    EXPECT_FALSE(std::filesystem::exists(gpx.string() + ".part"));
}
