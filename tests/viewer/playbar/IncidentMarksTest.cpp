// The play bar's incident marks on a recording of mkcard's simulated drive: read in the
// background when the entry starts, placed at the incidents' times over the slider, a click on
// one sending the owner the same hold, seek and release as a drag of the slider, and gone when
// playback stops.
#include "viewer/playbar/CPlayCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlSlider.h"
#include "tests/support/DefaultSkin.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/QtWait.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"
#include "viewer/playbar/IncidentMarkStrip.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace viewer;
using viewer::playbar::CPlayCtrl;
using viewer::playbar::IncidentMarkStrip;

namespace {

using tachy::test::waitFor;

constexpr std::int64_t kEventStartMs = 1709211939000LL; // 2024-02-29 13:05:39 UTC
constexpr int kFrames = 300;                            // 30 s at 10 pictures a second
constexpr int kKeyframes = 30;

class Owner : public tachy::CommandTarget {
public:
    std::intptr_t command(unsigned /*message*/, std::uintptr_t code,
                          std::intptr_t argument) override {
        sent.emplace_back(code, argument);
        const auto found = results.find(code);
        return found != results.end() ? found->second : 0;
    }
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> sent;
    std::map<std::uintptr_t, std::intptr_t> results;
};

class IncidentMarks : public testing::Test {
protected:
    // One camera of the simulated drive: its event recording holds a hard brake 7 s in and a
    // right turn 23 s in.
    static void SetUpTestSuite() {
        tachy::test::testApplication();
        s_card = new tachy::test::TempFolder; // NOLINT(cppcoreguidelines-owning-memory)
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = s_card->path();
        options.channels = 1;
        options.width = 64;
        options.height = 48;
        options.framesPerSecond = 10;
        options.keyInterval = 10;
        options.seconds = 60;
        options.periodSeconds = 30;
        options.modes = {"normal", "event"};
        options.recordKind = 72;
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    }
    static void TearDownTestSuite() {
        delete s_card; // NOLINT(cppcoreguidelines-owning-memory)
        s_card = nullptr;
    }

    void SetUp() override {
        m_context = tachy::test::defaultSkinContext(0);
        m_bar = std::make_unique<CPlayCtrl>(m_context, m_owner);
        m_bar->resize(1280, 104);
        m_bar->show();
        QCoreApplication::processEvents();
    }

    CTimeList EventEntry() const {
        CTimeList entry;
        entry.m_nChannelCount = 1;
        entry.SetStart(0, kEventStartMs);
        entry.SetEnd(0, kEventStartMs + 30000);
        entry.m_fileList[0] = {
            (s_card->path() / "event/TCY_0002_20240229_130539_E_1.avi").string()};
        return entry;
    }
    void Play(const CTimeList& entry) {
        m_bar->SetState(CPlayCtrl::kPlaying);
        m_bar->SetNewFile(kFrames, kKeyframes, entry);
        QCoreApplication::processEvents();
    }
    IncidentMarkStrip& Marks() const { return *m_bar->IncidentMarks(); }

    static inline tachy::test::TempFolder* s_card = nullptr;
    ViewerContext m_context;
    Owner m_owner;
    std::unique_ptr<CPlayCtrl> m_bar;
};

} // namespace

TEST_F(IncidentMarks, StandOverTheSliderAtTheIncidentsTimesWithTheirTips) {
    Play(EventEntry());
    ASSERT_TRUE(waitFor([&] { return Marks().Marks().size() == 2; }, 30000));
    const QRect slider = m_bar->Slider(CPlayCtrl::kPositionSlider)->geometry();
    EXPECT_EQ(Marks().geometry().left(), slider.left());
    EXPECT_EQ(Marks().geometry().width(), slider.width());
    EXPECT_EQ(Marks().geometry().bottom() + 1, slider.top());
    EXPECT_TRUE(Marks().isVisible());
    const auto& marks = Marks().Marks();
    EXPECT_EQ(marks[0].incident.kind, tachy::cli::Incident::Kind::HardBraking);
    EXPECT_NEAR(marks[0].fraction, 7.0 / 30.0, 0.015);
    EXPECT_EQ(marks[1].incident.kind, tachy::cli::Incident::Kind::SharpTurn);
    EXPECT_NEAR(marks[1].fraction, 23.0 / 30.0, 0.015);
    // The thumb's centre runs from half a thumb in to half a thumb before the end.
    const int inset = 8;
    EXPECT_NEAR(Marks().MarkX(1), inset + (slider.width() - 2 * inset) * marks[1].fraction, 1.0);
    EXPECT_EQ(Marks().MarkAt(QPoint(Marks().MarkX(0) + 3, 2)), 0);
    EXPECT_EQ(Marks().MarkAt(QPoint(Marks().MarkX(0) + 40, 2)), -1);

    // The tool tip of the mark under the mouse, in the language's words.
    QHelpEvent help(QEvent::ToolTip, QPoint(Marks().MarkX(0), 2),
                    Marks().mapToGlobal(QPoint(Marks().MarkX(0), 2)));
    QCoreApplication::sendEvent(&Marks(), &help);
    EXPECT_TRUE(QToolTip::text().startsWith(QStringLiteral("Hard braking at 00:07 (13:05:4")))
        << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().endsWith(QStringLiteral(" g")));

    // A painted mark has its kind's colour just above the slider.
    const QImage picture = Marks().grab().toImage();
    EXPECT_EQ(picture.pixelColor(Marks().MarkX(1), Marks().height() / 4).rgb(),
              IncidentMarkStrip::KindColour(tachy::cli::Incident::Kind::SharpTurn).rgb());
}

TEST_F(IncidentMarks, AClickSeeksAsADragDoesToThreeSecondsBefore) {
    Play(EventEntry());
    ASSERT_TRUE(waitFor([&] { return Marks().Marks().size() == 2; }, 30000));
    m_owner.sent.clear();
    QTest::mouseClick(&Marks(), Qt::LeftButton, {}, QPoint(Marks().MarkX(1), Marks().height() / 2));
    // The turn starts about 23 s in: key frame 20 (one a second), frame 200 on the slider.
    const int turnSecond =
        static_cast<int>((Marks().Marks()[1].incident.startMs - kEventStartMs) / 1000);
    const std::vector<std::pair<std::uintptr_t, std::intptr_t>> expected{
        {kHoldImage, 0}, {kGotoTimeBegin, turnSecond - 3}, {kReleaseImage, 0}};
    EXPECT_EQ(m_owner.sent, expected);
    EXPECT_NEAR(turnSecond, 23, 1);
    EXPECT_NEAR(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetPos(), (turnSecond - 3) * 10, 10);

    // An owner that cannot hold the picture: nothing else is asked.
    m_owner.sent.clear();
    m_owner.results[kHoldImage] = 1;
    QTest::mouseClick(&Marks(), Qt::LeftButton, {}, QPoint(Marks().MarkX(0), Marks().height() / 2));
    EXPECT_EQ(m_owner.sent,
              (std::vector<std::pair<std::uintptr_t, std::intptr_t>>{{kHoldImage, 0}}));
    // A click beside the marks asks nothing.
    m_owner.sent.clear();
    QTest::mouseClick(&Marks(), Qt::LeftButton, {}, QPoint(Marks().MarkX(0) + 60, 2));
    EXPECT_TRUE(m_owner.sent.empty());
}

TEST_F(IncidentMarks, GoneWhenPlaybackStopsAndNoneForARecordingWithout) {
    Play(EventEntry());
    ASSERT_TRUE(waitFor([&] { return Marks().Marks().size() == 2; }, 30000));
    m_bar->SetState(CPlayCtrl::kStopped);
    EXPECT_TRUE(Marks().Marks().empty());
    EXPECT_FALSE(m_bar->GoToIncident(0));

    // The first recording has no incident; a result for the event recording read before a move
    // on to it never shows on it.
    CTimeList first;
    first.m_nChannelCount = 1;
    first.SetStart(0, kEventStartMs - 30000);
    first.SetEnd(0, kEventStartMs);
    first.m_fileList[0] = {(s_card->path() / "normal/TCY_0001_20240229_130509_N_1.avi").string()};
    Play(EventEntry());
    m_bar->SetState(CPlayCtrl::kStopped);
    Play(first);
    QTest::qWait(500);
    EXPECT_TRUE(Marks().Marks().empty());
}
