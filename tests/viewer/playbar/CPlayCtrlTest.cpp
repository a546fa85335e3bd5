// The play bar against a recording owner: the commands each button and slider sends, what the
// bar changes around them, and how it shows what the owner feeds back.
#include "viewer/playbar/CPlayCtrl.h"

#include "platform/bus/CommandTarget.h"
#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSlider.h"
#include "tests/support/DefaultSkin.h"
#include "tests/support/QtTestApplication.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/app/ViewerContext.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

using namespace viewer;
using viewer::playbar::CPlayCtrl;

namespace {

constexpr std::int64_t kStart = 1'700'000'000;

tachy::test::DefaultSkin& skin() {
    return tachy::test::defaultSkin();
}

// The owner: records every command and answers with the result set for its code.
class CommandRecorder : public tachy::CommandTarget {
public:
    struct Sent {
        std::uintptr_t code;
        std::intptr_t argument;
        bool operator==(const Sent&) const = default;
    };

    std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t argument) override {
        EXPECT_EQ(message, kUserMessage);
        sent.push_back({code, argument});
        const auto found = results.find(code);
        return found != results.end() ? found->second : 0;
    }

    std::vector<Sent> sent;
    std::map<std::uintptr_t, std::intptr_t> results;
};

CTimeList Entry(int channels, std::int64_t seconds) {
    CTimeList entry;
    entry.m_nChannelCount = channels;
    entry.m_llStartSecond[0] = kStart;
    entry.m_llEndSecond[0] = kStart + seconds;
    return entry;
}

// A control drawn from a skin picture shows more than one colour; one without shows none.
bool DrawsAPicture(QWidget& control) {
    const QImage image = control.grab().toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != image.pixel(0, 0)) {
                return true;
            }
        }
    }
    return false;
}

class CPlayCtrlTest : public ::testing::Test {
protected:
    CPlayCtrlTest() {
        tachy::test::testApplication();
        m_owner.results[kGetVolume] = 73;
        m_context = {0, &skin().images, &skin().positions, &skin().language};
        m_bar = std::make_unique<CPlayCtrl>(m_context, m_owner);
        m_bar->resize(1280, 104);
        m_bar->show(); // a hidden widget gets its resize event only when shown
        m_owner.sent.clear();
    }

    // Playing a file of `seconds` with 30 frames a second and a key frame each second.
    void PlayFile(int channels, std::int64_t seconds) {
        m_bar->SetState(CPlayCtrl::kPlaying);
        m_bar->SetNewFile(static_cast<int>(seconds * 30), static_cast<int>(seconds),
                          Entry(channels, seconds));
        QCoreApplication::processEvents();
        m_owner.sent.clear();
    }

    void Click(int id) { m_bar->Button(id)->click(); }
    bool Shown(int id) const { return !m_bar->Button(id)->isHidden(); }
    void Slide(int message, int position) {
        emit m_bar->Slider(CPlayCtrl::kPositionSlider)
            ->notify(message, CPlayCtrl::kPositionSlider, position);
    }

    CommandRecorder m_owner;
    ViewerContext m_context;
    std::unique_ptr<CPlayCtrl> m_bar;
};

using Sent = CommandRecorder::Sent;

} // namespace

TEST_F(CPlayCtrlTest, HasEveryButtonWithItsSkinPicturesAndPlace) {
    const std::vector<int> ids{8448, 8449, 8450, 8451, 8452, 8453, 8454, 8455, 8456,
                               8457, 8458, 8459, 8460, 8461, 8462, 8463, 8482, 8483,
                               8484, 8485, 8488, 8489, 8490, 8492, 8493, 8494};
    for (const int id : ids) {
        CCtrlButtonEx* button = m_bar->Button(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_TRUE(DrawsAPicture(*button)) << id;
        EXPECT_GT(button->geometry().width(), 0) << id;
    }
    EXPECT_EQ(m_bar->Button(8450)->geometry(), QRect(104, 10, 40, 40));
    EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->geometry(), QRect(16, 62, 760, 32));
    // Check-like: time-lapse, the speed radios, flip and mirror (model 0).
    EXPECT_TRUE(m_bar->Button(8455)->isCheckable());
    EXPECT_TRUE(m_bar->Button(8483)->isChecked());
    EXPECT_TRUE(m_bar->Button(8488)->isCheckable());
    EXPECT_FALSE(m_bar->Button(8450)->isCheckable());
}

TEST_F(CPlayCtrlTest, ModelCodeDecidesTheTransformButtons) {
    EXPECT_TRUE(m_bar->Button(8490)->isHidden()); // two cameras: no third flip
    ViewerContext three = m_context;
    three.modelCode = 5;
    const CPlayCtrl threeCameras(three, m_owner);
    EXPECT_FALSE(threeCameras.Button(8490)->isHidden());
    ViewerContext six = m_context;
    six.modelCode = 6;
    CPlayCtrl pushTransforms(six, m_owner);
    EXPECT_FALSE(pushTransforms.Button(8488)->isCheckable());
}

TEST_F(CPlayCtrlTest, ControlsFollowTheBarsSizeAtTheSkinsScale) {
    m_bar->resize(1920, 156); // one and a half times the design size
    QCoreApplication::processEvents();
    EXPECT_EQ(m_bar->Button(8450)->geometry(), QRect(156, 15, 60, 60));
}

TEST_F(CPlayCtrlTest, VolumeSliderStartsAtTheOwnersVolumeAndSendsItsMoves) {
    CCtrlSlider* volume = m_bar->Slider(CPlayCtrl::kVolumeSlider);
    EXPECT_EQ(volume->GetPos(), 73);
    emit volume->notify(CCtrlSlider::kNotifyPress, CPlayCtrl::kVolumeSlider, 40);
    emit volume->notify(CCtrlSlider::kNotifyMove, CPlayCtrl::kVolumeSlider, 42);
    emit volume->notify(CCtrlSlider::kNotifyRelease, CPlayCtrl::kVolumeSlider, 42);
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{kSetVolume, 40}, {kSetVolume, 42}}));
}

TEST_F(CPlayCtrlTest, PlayPauseStepAndNextFileShowThePlayButtonByTheirResults) {
    PlayFile(2, 60);
    m_bar->ShowPlayButton(true);
    Click(kPlay); // refused
    EXPECT_TRUE(Shown(kPlay));
    m_owner.results[kPlay] = 1;
    Click(kPlay);
    EXPECT_FALSE(Shown(kPlay));
    EXPECT_TRUE(Shown(kPause));
    Click(kPause);
    EXPECT_TRUE(Shown(kPlay));
    EXPECT_FALSE(Shown(kPause));

    m_bar->ShowPlayButton(false);
    Click(kStepForward); // refused: still playing
    EXPECT_FALSE(Shown(kPlay));
    m_owner.results[kStepForwardKey] = 1;
    Click(kStepForwardKey);
    EXPECT_TRUE(Shown(kPlay));

    m_owner.results[kNextFile] = 1;
    Click(kNextFile);
    EXPECT_FALSE(Shown(kPlay));
    m_owner.results[kNextFile] = 0;
    Click(kNextFile);
    EXPECT_TRUE(Shown(kPlay));
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{kPlay, 0}, {kPlay, 0}, {kPause, 0},
                                               {kStepForward, 0}, {kStepForwardKey, 0},
                                               {kNextFile, 0}, {kNextFile, 0}}));
}

TEST_F(CPlayCtrlTest, PlainButtonsSendTheirIdAndTransformsTheirDisplayPosition) {
    for (const int id : {8448, 8456, 8459, 8460, 8461, 8462}) {
        Click(id);
    }
    Click(8489);
    Click(8494);
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{8448, 0}, {8456, 0}, {8459, 0}, {8460, 0},
                                               {8461, 0}, {8462, 0}, {kFlip, 1}, {kMirror, 2}}));
}

TEST_F(CPlayCtrlTest, SpeedButtonsChangeTheStepBeforeTheOwnerReadsIt) {
    std::vector<double> seen;
    struct Reader : CommandRecorder {
        CPlayCtrl* bar = nullptr;
        std::vector<double>* seen = nullptr;
        std::intptr_t command(unsigned message, std::uintptr_t code, std::intptr_t arg) override {
            if (bar != nullptr) {
                seen->push_back(bar->SpeedFactor() * bar->TimeLapseFactor());
            }
            return CommandRecorder::command(message, code, arg);
        }
    } reader;
    CPlayCtrl bar(m_context, reader);
    reader.bar = &bar;
    reader.seen = &seen;
    reader.sent.clear();
    bar.Button(kSpeedUp)->click();  // 1.5
    bar.Button(kSpeedUp)->click();  // 2.0
    bar.Button(kSpeedUp)->click();  // at the top: nothing sent
    EXPECT_EQ(bar.SpeedStep(), 4);
    EXPECT_EQ(bar.SpeedIndicatorImage(), *skin().images.GetImageFile("PlaySpeed_20x"));
    EXPECT_TRUE(bar.Button(8485)->isChecked());
    bar.Button(8482)->click(); // the 0.5x radio
    bar.Button(kSpeedDown)->click(); // at the bottom: nothing sent
    EXPECT_EQ(seen, (std::vector<double>{1.5, 2.0, 0.5}));
    EXPECT_EQ(reader.sent, (std::vector<Sent>{{kSpeedUp, 0}, {kSpeedUp, 0}, {kSpeedDown, 0}}));
    EXPECT_EQ(bar.SpeedIndicatorImage(), *skin().images.GetImageFile("PlaySpeed_05x"));
}

TEST_F(CPlayCtrlTest, TimeLapseAtNormalSpeedAppliesAFifteenthAndShowsRealTime) {
    PlayFile(2, 60);
    m_bar->SetPosition(300, 54, kStart + 10, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_bar->TimeText(), "00:10/01:00");
    Click(kApplySpeed);
    EXPECT_DOUBLE_EQ(m_bar->SpeedFactor() * m_bar->TimeLapseFactor(), 1.0 / 15.0);
    EXPECT_EQ(m_bar->TimeText(), "02:30/15:00");
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{kApplySpeed, 0}}));
    Click(kApplySpeed);
    EXPECT_DOUBLE_EQ(m_bar->TimeLapseFactor(), 1.0);
    EXPECT_EQ(m_bar->TimeText(), "00:10/01:00");
}

TEST_F(CPlayCtrlTest, PositionSliderHoldsSeeksOnlyOnNewKeyframesAndReleases) {
    PlayFile(2, 60); // 1800 frames, 60 key frames: 30 frames each
    Slide(CCtrlSlider::kNotifyPress, 95);   // key frame 3
    Slide(CCtrlSlider::kNotifyMove, 119);   // still 3
    Slide(CCtrlSlider::kNotifyMove, 120);   // 4
    Slide(CCtrlSlider::kNotifyMove, 1800);  // capped at 59
    Slide(CCtrlSlider::kNotifyRelease, 1800);
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{kHoldImage, 0}, {kGotoTimeBegin, 3},
                                               {kGotoTimeBegin, 4}, {kGotoTimeBegin, 59},
                                               {kReleaseImage, 0}}));
}

TEST_F(CPlayCtrlTest, APressTheOwnerCannotHoldEndsTheDrag) {
    PlayFile(2, 60);
    m_owner.results[kHoldImage] = 1;
    Slide(CCtrlSlider::kNotifyPress, 600);
    Slide(CCtrlSlider::kNotifyMove, 900);
    Slide(CCtrlSlider::kNotifyRelease, 900);
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{kHoldImage, 0}}));
}

TEST_F(CPlayCtrlTest, FeedbackFromAnotherThreadMovesSliderTimeAndSpeed) {
    PlayFile(2, 180);
    std::thread engine([this] {
        for (int frame = 1; frame <= 2000; ++frame) {
            m_bar->SetPosition(frame, frame / 20, kStart + frame / 30, frame % 30 * 33);
        }
    });
    engine.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetPos(), 2000);
    EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetRangeMax(), 5400);
    EXPECT_EQ(m_bar->TimeText(), "01:06/03:00");
    EXPECT_EQ(m_bar->SpeedText(), "100 km/h");
}

TEST_F(CPlayCtrlTest, ANewFileIsAppliedBeforeAPositionPostedWithIt) {
    m_bar->SetState(CPlayCtrl::kPlaying);
    m_bar->SetNewFile(900, 30, Entry(2, 30));
    m_bar->SetPosition(450, 20, kStart + 15, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetRangeMax(), 900);
    EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetPos(), 450);
    EXPECT_EQ(m_bar->TimeText(), "00:15/00:30");
}

TEST_F(CPlayCtrlTest, StoppedAndNothingLoadedResetTheBar) {
    PlayFile(2, 60);
    m_bar->SetPosition(600, 80, kStart + 20, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_bar->Slider(CPlayCtrl::kPositionSlider)->isEnabled());
    EXPECT_FALSE(Shown(kPlay));
    for (const int state : {CPlayCtrl::kStopped, CPlayCtrl::kNothingLoaded}) {
        m_bar->SetState(state);
        EXPECT_EQ(m_bar->TimeText(), "00:00/00:00");
        EXPECT_EQ(m_bar->SpeedText(), "0 km/h");
        EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetPos(), 0);
        EXPECT_FALSE(m_bar->Slider(CPlayCtrl::kPositionSlider)->isEnabled());
        EXPECT_TRUE(Shown(kPlay));
        EXPECT_FALSE(Shown(kPause));
        m_bar->SetState(CPlayCtrl::kPlaying);
    }
}

TEST_F(CPlayCtrlTest, FramesStillQueuedAtAStopDoNotShowAfterIt) {
    PlayFile(2, 60);
    m_bar->SetPosition(600, 80, kStart + 20, 0); // not yet processed
    m_bar->SetState(CPlayCtrl::kStopped);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_bar->TimeText(), "00:00/00:00");
    EXPECT_EQ(m_bar->Slider(CPlayCtrl::kPositionSlider)->GetPos(), 0);
}

TEST_F(CPlayCtrlTest, SwitchRotatesWhilePlayingAndANewEntryTurnsBack) {
    Click(kRotateMain); // not playing
    EXPECT_TRUE(m_owner.sent.empty());
    PlayFile(2, 60);
    Click(kRotateMain);
    EXPECT_TRUE(m_bar->IsSwitchToggled());
    m_bar->SetNewFile(1800, 60, Entry(2, 60));
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_bar->IsSwitchToggled());
    EXPECT_EQ(m_owner.sent, (std::vector<Sent>{{kRotateMain, 0}, {kRotateMain, 0}}));

    m_owner.sent.clear();
    PlayFile(1, 60); // one camera: nothing to switch to
    Click(kRotateMain);
    EXPECT_TRUE(m_owner.sent.empty());
}
