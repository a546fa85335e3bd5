// Incidents and trip figures in the viewer, on a card of mkcard's simulated drive: the list's
// incident marks, the marks on the position slider at the incidents' times and a click on one
// moving playback there, the incident keys, and the trip dialog's figures against figures
// worked out here from `tachy track --format csv` with a haversine of our own in python3.

#include "skinctl/CCtrlSkinList.h"
#include "skinctl/CCtrlSlider.h"
#include "tests/viewer/main/ViewerWindowFixture.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/list/CTabList.h"
#include "viewer/list/ListConstants.h"
#include "viewer/playbar/CPlayCtrl.h"
#include "viewer/playbar/IncidentMarkStrip.h"
#include "viewer/trip/CTripDialog.h"
#include "viewer/trip/DrivingScan.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QProgressBar>
#include <QTimer>
#include <QToolTip>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

using viewer_test::waitFor;
using Kind = tachy::cli::Incident::Kind;

namespace {

constexpr std::int64_t kCardStartMs = 1709211909000LL; // 2024-02-29 13:05:09 UTC
constexpr std::int64_t kRecordingMs = 30000;
// mkcard's route (seed 1 starts it 3 s into its two-minute lap): the hard brake 37 s after the
// card's start, the right turn at the crossing at 53 s, the bump at 67 s.
constexpr std::int64_t kBrakeMs = kCardStartMs + 37000;
constexpr std::int64_t kTurnMs = kCardStartMs + 53000;
constexpr std::int64_t kBumpMs = kCardStartMs + 67000;
constexpr std::int64_t kSlackMs = 400;
constexpr int kFramesPerSecond = 10;

std::string RunShell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    std::array<char, 4096> buffer{};
    std::size_t read = 0;
    while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), read);
    }
    pclose(pipe);
    return out;
}

class TripWindow : public viewer_test::ViewerWindowFixture {
protected:
    // The main window's small card, and a card of the simulated drive: two cameras, 64x48 at
    // ten pictures a second, 90 seconds in three recordings (normal, event, normal).
    static void SetUpTestSuite() {
        ViewerWindowFixture::SetUpTestSuite();
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = s_data->path() / "drive";
        options.channels = 2;
        options.width = 64;
        options.height = 48;
        options.framesPerSecond = kFramesPerSecond;
        options.keyInterval = kFramesPerSecond;
        options.seconds = 90;
        options.periodSeconds = 30;
        options.modes = {"normal", "event"};
        options.recordKind = 72;
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    }

    static QString Drive() { return QString::fromStdString((s_data->path() / "drive").string()); }

    void SetUp() override {
        ViewerWindowFixture::SetUp();
        ASSERT_TRUE(m_window->OpenPath(Drive()));
        ASSERT_EQ(m_window->List()->GetItemCount(), 3);
        m_window->activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override {
        if (m_window && m_window->LoadState() == viewer::kPlaying) {
            m_window->StopPlayback();
        }
        ViewerWindowFixture::TearDown();
    }

    // Plays row 1 (the event recording) as a user does: a click on the row, then Space.
    void PlayEventRecording() {
        ClickRow(1);
        Press(Qt::Key_Space);
        ASSERT_TRUE(waitFor([&] { return m_window->PicturesShown(0) > 0; }, 60000));
    }
    viewer::playbar::IncidentMarkStrip& Marks() const {
        return *m_window->PlayCtrl()->IncidentMarks();
    }
    int SliderPosition() const {
        return m_window->PlayCtrl()->Slider(viewer::playbar::CPlayCtrl::kPositionSlider)->GetPos();
    }
    // Rows are the recordings oldest first: normal, event, normal.
    static std::int64_t RowStartMs(int row) { return kCardStartMs + row * kRecordingMs; }
};

} // namespace

TEST_F(TripWindow, ListMarksTheRecordingsWithIncidentsAndCountsThemPerKind) {
    CTabList& list = *m_window->List();
    // Read oldest first: once the last recording has its mark, every row has had its turn.
    ASSERT_TRUE(waitFor(
        [&] { return list.IncidentScansPending() == 0 && list.IncidentCount(2) > 0; }, 60000));
    QApplication::processEvents();
    CCtrlSkinList& control = ListControl();
    const QString glyph = QString(QChar(CTabList::kIncidentGlyph));

    // The first recording drives without a hard brake, a sharp turn or a bump.
    EXPECT_EQ(list.IncidentCount(0), 0);
    EXPECT_TRUE(list.IncidentToolTip(0).isEmpty());
    EXPECT_FALSE(control.GetItemText(0, 1).contains(glyph))
        << control.GetItemText(0, 1).toStdString();
    // The event recording holds the hard brake and the right turn, the last one the bump.
    EXPECT_EQ(list.IncidentCount(1), 2);
    EXPECT_EQ(list.IncidentToolTip(1), QStringLiteral("Incidents\nHard braking: 1\nSharp turn: 1"));
    EXPECT_EQ(control.GetItemText(1, 1), QStringLiteral("Event ") + glyph);
    EXPECT_EQ(list.IncidentCount(2), 1);
    EXPECT_EQ(list.IncidentToolTip(2), QStringLiteral("Incidents\nImpact: 1"));
    EXPECT_EQ(control.GetItemText(2, 1), QStringLiteral("Normal ") + glyph);
    // The tool tip shows over the row, as the mouse rests on it.
    const QPoint over = control.RowRect(1).center();
    QHelpEvent help(QEvent::ToolTip, over, control.mapToGlobal(over));
    QApplication::sendEvent(&control, &help);
    EXPECT_EQ(QToolTip::text(), list.IncidentToolTip(1));
    // The type column is wide enough for its mark.
    const QFontMetrics metrics(control.font(), &control);
    EXPECT_LE(metrics.horizontalAdvance(control.GetItemText(1, 1)) + CCtrlSkinList::kCellPadding,
              control.GetColumnWidth(1));

    // Normal recordings filtered out: the rows are rebuilt, the event recording keeps its mark.
    auto* normal =
        list.findChild<QWidget*>(QString::number(tachy::viewer::kRecordModes[0].buttonId));
    ASSERT_NE(normal, nullptr);
    QTest::mouseClick(normal, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.IncidentCount(0), 2);
    EXPECT_EQ(control.GetItemText(0, 1), QStringLiteral("Event ") + glyph);
}

TEST_F(TripWindow, SliderMarksStandAtTheIncidentsAndAClickGoesToShortlyBeforeOne) {
    PlayEventRecording();
    ASSERT_TRUE(waitFor([&] { return Marks().Marks().size() == 2; }, 30000));
    const auto& marks = Marks().Marks();
    EXPECT_EQ(marks[0].incident.kind, Kind::HardBraking);
    EXPECT_NEAR(marks[0].incident.startMs, kBrakeMs, kSlackMs);
    EXPECT_EQ(marks[1].incident.kind, Kind::SharpTurn);
    EXPECT_NEAR(marks[1].incident.startMs, kTurnMs, kSlackMs);
    // Each mark over the slider's place of its time: 7 s and 23 s into 30 s.
    const QRect slider =
        m_window->PlayCtrl()->Slider(viewer::playbar::CPlayCtrl::kPositionSlider)->geometry();
    EXPECT_EQ(Marks().geometry().left(), slider.left());
    EXPECT_EQ(Marks().width(), slider.width());
    EXPECT_LE(Marks().geometry().bottom(), slider.top());
    const double span = slider.width() - 2 * 8; // the default skin's thumb is 16 pixels wide
    const auto at = [&](int index) {
        return 8 + span *
                       static_cast<double>(marks[static_cast<std::size_t>(index)].incident.startMs -
                                           RowStartMs(1)) /
                       kRecordingMs;
    };
    EXPECT_NEAR(Marks().MarkX(0), at(0), 1.0);
    EXPECT_NEAR(Marks().MarkX(1), at(1), 1.0);
    EXPECT_TRUE(marks[0].tip.startsWith(QStringLiteral("Hard braking at 00:07 (13:05:4")))
        << marks[0].tip.toStdString();
    EXPECT_TRUE(marks[1].tip.startsWith(QStringLiteral("Sharp turn at 00:23 (13:06:02 UTC)")))
        << marks[1].tip.toStdString();

    // A click on the turn's mark: three seconds before it, 20 s into the recording.
    const QPoint turn(Marks().MarkX(1), Marks().height() / 2);
    ASSERT_EQ(Marks().MarkAt(turn), 1);
    QTest::mouseClick(&Marks(), Qt::LeftButton, {}, turn);
    const int turnFrame = 20 * kFramesPerSecond;
    ASSERT_TRUE(waitFor([&] { return SliderPosition() >= turnFrame - 5; }, 10000))
        << SliderPosition();
    ASSERT_TRUE(
        waitFor([&] { return m_window->DrivingValues().framePosition >= turnFrame - 5; }, 10000))
        << m_window->DrivingValues().framePosition;
    EXPECT_LT(m_window->DrivingValues().framePosition, turnFrame + 40);
    EXPECT_EQ(m_window->LoadState(), viewer::kPlaying);
}

TEST_F(TripWindow, IncidentKeysStepBetweenTheMarksWhateverHasTheFocus) {
    PlayEventRecording();
    ASSERT_TRUE(waitFor([&] { return Marks().Marks().size() == 2; }, 30000));
    // Whatever the click and Space left the focus on, in the window.
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    ASSERT_EQ(QApplication::focusWidget()->window(), m_window.get());
    // From the start the next incident is the brake, then the turn; Shift+I goes back.
    Press(Qt::Key_I);
    Press(Qt::Key_I);
    ASSERT_TRUE(waitFor([&] { return m_window->DrivingValues().framePosition >= 195; }, 10000))
        << m_window->DrivingValues().framePosition;
    Press(Qt::Key_I, Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return m_window->DrivingValues().framePosition < 100; }, 10000))
        << m_window->DrivingValues().framePosition;
    EXPECT_GE(m_window->DrivingValues().framePosition, 4 * kFramesPerSecond - 5);
}

TEST_F(TripWindow, TripDialogFiguresAgreeWithAHaversineOverTheToolsTrack) {
    PlayEventRecording();
    Press(Qt::Key_T);
    viewer::trip::CTripDialog* dialog = m_window->TripDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(waitFor([&] { return dialog->CardDone() && dialog->EntryDone(); }, 60000));
    EXPECT_EQ(dialog->CardTotal(), 3);
    EXPECT_EQ(dialog->CardProgress()->value(), 3);

    // Per file: the distance between consecutive rows with a fix, the top speed; and the
    // event recording's file alone.
    const std::filesystem::path script = s_data->path() / "trip.py";
    std::ofstream(script) << R"(import csv, math, subprocess, sys
rows = list(csv.DictReader(subprocess.run([sys.argv[1], 'track', sys.argv[2], '--format', 'csv'],
                                          capture_output=True, text=True, check=True).stdout.splitlines()))
def haversine(a, b):
    p1, p2 = math.radians(a[0]), math.radians(b[0])
    h = math.sin((p2 - p1) / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(math.radians(b[1] - a[1]) / 2) ** 2
    return 2 * 6371.0088 * math.asin(math.sqrt(h))
def figures(only):
    total, top, last = 0.0, 0, {}
    for r in rows:
        if not r['latitude'] or (only and r['file'] != only):
            continue
        here = (float(r['latitude']), float(r['longitude']))
        if r['file'] in last:
            total += haversine(last[r['file']], here)
        last[r['file']] = here
        top = max(top, int(r['speed_kmh']))
    return total, top
card, card_top = figures(None)
entry, entry_top = figures('TCY_0002_20240229_130539_E_1.avi')
print(card, card_top, entry, entry_top)
)";
    std::istringstream expected(RunShell("python3 '" + script.string() + "' '" TACHY_TOOL "' '" +
                                         Drive().toStdString() + "'"));
    double cardKm = 0;
    int cardTop = 0;
    double entryKm = 0;
    int entryTop = 0;
    ASSERT_TRUE(expected >> cardKm >> cardTop >> entryKm >> entryTop);
    ASSERT_GT(cardKm, 0.5);

    const viewer::trip::TripFigures& card = dialog->CardFigures();
    EXPECT_NEAR(card.DistanceKm(), cardKm, cardKm * 0.002);
    EXPECT_EQ(card.TopSpeedKmh(), cardTop);
    EXPECT_EQ(card.DurationMs(), 3 * kRecordingMs);
    EXPECT_NEAR(card.AverageSpeedKmh(), cardKm / (3 * kRecordingMs / 3'600'000.0), 0.2);
    const viewer::trip::TripFigures& entry = dialog->EntryFigures();
    EXPECT_NEAR(entry.DistanceKm(), entryKm, entryKm * 0.002);
    EXPECT_EQ(entry.TopSpeedKmh(), entryTop);
    EXPECT_EQ(entry.DurationMs(), kRecordingMs);
    // And as the dialog shows them.
    EXPECT_EQ(dialog->CardText(viewer::trip::CTripDialog::kDuration), QStringLiteral("0:01:30"));
    EXPECT_EQ(dialog->EntryText(viewer::trip::CTripDialog::kDuration), QStringLiteral("0:00:30"));
    EXPECT_EQ(dialog->EntryText(viewer::trip::CTripDialog::kTop),
              QStringLiteral("%1.0 km/h").arg(entryTop));
    EXPECT_EQ(dialog->CardText(viewer::trip::CTripDialog::kDistance),
              QStringLiteral("%1 km").arg(card.DistanceKm(), 0, 'f', 2));
}

TEST(DrivingScan, FindsTheIncidentsOfEachRecordingInTheBackground) {
    // The scan on its own thread, on the same drive as the window's tests.
    tachy::test::TempFolder folder;
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = folder.path();
    options.channels = 1;
    options.width = 64;
    options.height = 48;
    options.framesPerSecond = kFramesPerSecond;
    options.keyInterval = kFramesPerSecond;
    options.seconds = 90;
    options.periodSeconds = 30;
    options.modes = {"normal", "event"};
    options.recordKind = 400; // NMEA text records this time
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    const std::array<std::filesystem::path, 3> files{
        folder.path() / "normal/TCY_0001_20240229_130509_N_1.avi",
        folder.path() / "event/TCY_0002_20240229_130539_E_1.avi",
        folder.path() / "normal/TCY_0003_20240229_130609_N_1.avi"};

    std::mutex lock;
    std::condition_variable done;
    std::vector<viewer::trip::DrivingScanResult> results;
    viewer::trip::DrivingScan scan([&](viewer::trip::DrivingScanResult result) {
        const std::lock_guard<std::mutex> guard(lock);
        results.push_back(std::move(result));
        done.notify_all();
    });
    std::vector<viewer::trip::DrivingScanJob> jobs;
    for (std::size_t i = 0; i < files.size(); ++i) {
        ASSERT_TRUE(std::filesystem::exists(files[i])) << files[i];
        jobs.push_back({7,
                        files[i].string(),
                        {files[i]},
                        kCardStartMs + static_cast<std::int64_t>(i) * kRecordingMs,
                        kRecordingMs});
    }
    jobs.push_back({7, "missing", {folder.path() / "normal/missing.avi"}, 0, kRecordingMs});
    scan.Queue(std::move(jobs));
    std::unique_lock<std::mutex> guard(lock);
    ASSERT_TRUE(
        done.wait_for(guard, std::chrono::seconds(60), [&] { return results.size() == 4; }));

    // In the order queued; the generation and key come back as given.
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(results[i].generation, 7U);
        EXPECT_EQ(results[i].key, files[i].string());
        EXPECT_TRUE(results[i].readable);
        EXPECT_EQ(results[i].trip.DurationMs(), kRecordingMs);
        EXPECT_GT(results[i].trip.Fixes(), 250);
    }
    EXPECT_TRUE(results[0].incidents.empty());
    ASSERT_EQ(results[1].incidents.size(), 2U);
    EXPECT_EQ(results[1].incidents[0].kind, Kind::HardBraking);
    EXPECT_NEAR(results[1].incidents[0].startMs, kBrakeMs, kSlackMs);
    EXPECT_EQ(results[1].incidents[1].kind, Kind::SharpTurn);
    EXPECT_NEAR(results[1].incidents[1].startMs, kTurnMs, kSlackMs);
    ASSERT_EQ(results[2].incidents.size(), 1U);
    EXPECT_EQ(results[2].incidents[0].kind, Kind::Impact);
    EXPECT_NEAR(results[2].incidents[0].startMs, kBumpMs, kSlackMs);
    // A file that is not there is reported, unreadable and without figures.
    EXPECT_EQ(results[3].key, "missing");
    EXPECT_FALSE(results[3].readable);
    EXPECT_EQ(results[3].trip.DurationMs(), 0);
    EXPECT_TRUE(results[3].incidents.empty());
}

TEST(TripDialog, WithNothingLoadedShowsDashesAndWaitsForNothing) {
    tachy::test::testApplication();
    viewer::trip::CTripDialog dialog(nullptr, std::nullopt, {});
    EXPECT_TRUE(dialog.EntryDone());
    EXPECT_TRUE(dialog.CardDone());
    EXPECT_EQ(dialog.CardTotal(), 0);
    for (const auto row :
         {viewer::trip::CTripDialog::kDistance, viewer::trip::CTripDialog::kDuration,
          viewer::trip::CTripDialog::kAverage, viewer::trip::CTripDialog::kTop}) {
        EXPECT_EQ(dialog.EntryText(row), QStringLiteral("–"));
        EXPECT_EQ(dialog.CardText(row), QStringLiteral("–"));
    }
    EXPECT_EQ(dialog.CardProgress()->text(), QStringLiteral("Read: 0 recordings"));
}

TEST_F(TripWindow, TheListsRightClickMenuOpensTheTripWindow) {
    // The menu of a right click on a row, its entry clicked as a user does once it shows.
    QString entry;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(widget);
            if (menu == nullptr || !menu->isVisible()) {
                continue;
            }
            look.stop();
            for (QAction* action : menu->actions()) {
                if (action->objectName() == QLatin1String("trip menu")) {
                    entry = action->text();
                    QTest::mouseClick(menu, Qt::LeftButton, {},
                                      menu->actionGeometry(action).center());
                    return;
                }
            }
            menu->close();
        }
    });
    look.start(10);
    CCtrlSkinList& list = ListControl();
    const QPoint at = list.RowRect(0).center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list.mapToGlobal(at));
    QApplication::sendEvent(&list, &click);
    ASSERT_TRUE(waitFor([&] { return m_window->TripDialog() != nullptr; }, 30000));
    EXPECT_EQ(entry, QStringLiteral("Trip figures (T)"));
    viewer::trip::CTripDialog* dialog = m_window->TripDialog();
    EXPECT_TRUE(dialog->isVisible());
    // Nothing plays: the recording's column has nothing to show; the card's is read.
    ASSERT_TRUE(waitFor([&] { return dialog->CardDone(); }, 60000));
    EXPECT_EQ(dialog->EntryText(viewer::trip::CTripDialog::kDistance), QStringLiteral("–"));
    EXPECT_EQ(dialog->CardText(viewer::trip::CTripDialog::kDuration), QStringLiteral("0:01:30"));
}
