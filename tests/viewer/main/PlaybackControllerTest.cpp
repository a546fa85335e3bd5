// The playback controller without a window: its state rules against a fake view, and its engine
// calls against the real replay engine playing a small generated card.
#include "viewer/main/PlaybackController.h"

#include "engine/EngineRecords.h"
#include "engine/IIntrReplayEx.h"
#include "picturedec/IVideoDecoder.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/naming/AviNameFormat.h"
#include "viewer/app/ViewerCommands.h"
#include "viewer/main/NameRuleSearch.h"

#include <QElapsedTimer>
#include <array>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using tachy::test::TempFolder;
using viewer::PlaybackController;

namespace {

constexpr unsigned kListEntryFound = 122;
constexpr int kEnginePaused = 8;
constexpr int kEngineForward = 2;

// A window stand-in: a list of entries and a record of what the controller asked for. The
// engine asks the list from its own threads, so the rows are fixed before playing and the
// selection is atomic.
class FakeView : public viewer::PlaybackView {
public:
    void ShowInfo(const char* key) override { infos.emplace_back(key); }
    bool ConfirmDelete(const QString& fileName, bool playing) override {
        confirmed.push_back(fileName.toStdString() + (playing ? " playing" : " selected"));
        return agree;
    }
    int ListRowCount() const override { return static_cast<int>(rows.size()); }
    int ListSelectedRow() const override { return selected; }
    bool ListEntry(int row, CTimeList& entry) override {
        if (row < 0 || row >= ListRowCount()) {
            return false;
        }
        entry = rows[static_cast<std::size_t>(row)];
        return true;
    }
    void ListSelectRow(int row) override { selected = row; }
    void ListMarkNothingPlayed() override { ++nothingPlayedMarks; }
    void ListRemoveEntry(int row, const CTimeList& /*entry*/) override {
        rows.erase(rows.begin() + row);
    }
    void ListSetLoadState(int state) override { listStates.push_back(state); }
    void LoadStateChanged(int state) override { states.push_back(state); }
    void LayOutBoxes() override { ++layouts; }
    void MainChannelChanged(int channel) override { mainChannels.push_back(channel); }
    void SetBoxTransform(int box, int transform) override {
        transforms[static_cast<std::size_t>(box)] = transform;
    }
    void ShowPlayButton(bool show) override { playButtons.push_back(show); }
    void ForgetPlayedEntry(bool lastFrameToo) override { forgotten.push_back(lastFrameToo); }

    std::vector<CTimeList> rows;
    std::atomic<int> selected{-1};
    bool agree = false;
    std::vector<std::string> infos;
    std::vector<std::string> confirmed;
    std::vector<int> listStates;
    std::vector<int> states;
    std::vector<int> mainChannels;
    std::vector<bool> playButtons;
    std::vector<bool> forgotten;
    std::array<int, 3> transforms{};
    int layouts = 0;
    int nothingPlayedMarks = 0;
};

template <typename Done> bool waitFor(Done done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class PlaybackControllerRules : public testing::Test {
protected:
    // Three rows whose files do not exist: enough for the rules that need no engine.
    void ListThreeRows() {
        m_view.rows.resize(3);
        m_view.selected = 2;
        m_controller.SetLoadState(viewer::kLoaded);
    }

    FakeView m_view;
    PlaybackController m_controller{m_view};
};

} // namespace

TEST_F(PlaybackControllerRules, PlayWithNothingLoadedSaysSoAndStaysStopped) {
    m_controller.Play();
    EXPECT_EQ(m_view.infos, std::vector<std::string>{"message 002"});
    EXPECT_EQ(m_controller.LoadState(), viewer::kNothingLoaded);
}

TEST_F(PlaybackControllerRules, PlayWithAnEmptyListSaysSo) {
    m_controller.SetLoadState(viewer::kLoaded);
    m_controller.Play();
    EXPECT_EQ(m_view.infos, std::vector<std::string>{"message 003"});
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
}

TEST_F(PlaybackControllerRules, StepsAndZoomSayTheyNeedPlaybackWhenStopped) {
    ListThreeRows();
    std::intptr_t result = -1;
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kStepForward, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kStepBackwardKey, 0, result));
    EXPECT_FALSE(m_controller.RequirePlayback());
    EXPECT_EQ(m_view.infos,
              (std::vector<std::string>{"message 004", "message 004", "message 004"}));
}

TEST_F(PlaybackControllerRules, NextAndPreviousFileMoveTheSelectionRoundTheListWhileLoaded) {
    ListThreeRows();
    std::intptr_t result = -1;
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kNextFile, 0, result));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_view.selected, 0);
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kPreviousFile, 0, result));
    EXPECT_EQ(m_view.selected, 2);
    m_controller.MoveFile(-1);
    EXPECT_EQ(m_view.selected, 1);
}

TEST_F(PlaybackControllerRules, PauseAndStopDoNothingWhileNotPlaying) {
    ListThreeRows();
    m_controller.PauseOrResume();
    m_controller.StopPlayback();
    m_controller.StopOrRestart();
    EXPECT_TRUE(m_view.playButtons.empty());
    EXPECT_TRUE(m_view.forgotten.empty());
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
}

TEST_F(PlaybackControllerRules, StopAndResetGoesBackToTwoChannels) {
    ListThreeRows();
    m_controller.SetChannelCount(3);
    std::intptr_t result = -1;
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kStopAndReset, 0, result));
    EXPECT_EQ(m_controller.ChannelCount(), 2);
    EXPECT_EQ(m_view.layouts, 1);
}

TEST_F(PlaybackControllerRules, DeleteSaysWhenNothingIsLoadedOrSelected) {
    m_controller.DeleteCurrentFile();
    ListThreeRows();
    m_view.selected = -1;
    m_controller.DeleteCurrentFile();
    EXPECT_EQ(m_view.infos, (std::vector<std::string>{"message 002", "message 008"}));
    EXPECT_TRUE(m_view.confirmed.empty());
}

TEST_F(PlaybackControllerRules, TheMainChannelTurnsWithinTheChannelsShownAndTheLimit) {
    m_controller.RotateMainChannel(2);
    m_controller.RotateMainChannel(2);
    EXPECT_EQ(m_view.mainChannels, (std::vector<int>{1, 0}));
    m_controller.SetChannelCount(3);
    m_view.mainChannels.clear();
    m_controller.RotateMainChannel(2);
    m_controller.RotateMainChannel(2);
    m_controller.RotateMainChannel(3);
    m_controller.RotateMainChannel(3);
    m_controller.RotateMainChannel(3);
    EXPECT_EQ(m_view.mainChannels, (std::vector<int>{1, 0, 1, 2, 0}));
    EXPECT_EQ(m_view.layouts, 7);
}

TEST_F(PlaybackControllerRules, FlipAndMirrorToggleTheBoxAtTheirPositionFromTheMainChannel) {
    m_controller.RotateMainChannel(2); // channel 1 is the main one
    std::intptr_t result = -1;
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kFlip, 0, result));
    EXPECT_EQ(m_view.transforms, (std::array<int, 3>{0, 1, 0}));
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kMirror, 1, result));
    EXPECT_EQ(m_view.transforms, (std::array<int, 3>{2, 1, 0}));
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kFlip, 0, result));
    EXPECT_EQ(m_view.transforms, (std::array<int, 3>{2, 0, 0}));
}

TEST_F(PlaybackControllerRules, WindowCommandsAreLeftToTheWindow) {
    std::intptr_t result = -1;
    EXPECT_FALSE(m_controller.HandleCommand(viewer::kOpenFolder, 0, result));
    EXPECT_FALSE(m_controller.HandleCommand(viewer::kSetVolume, 40, result));
    EXPECT_FALSE(m_controller.HandleCommand(viewer::kFullScreen, 0, result));
    EXPECT_FALSE(m_controller.HandleCommand(viewer::kZoomIn, 0, result));
    EXPECT_TRUE(m_view.infos.empty());
}

namespace {

// The real engine on a card of three short recordings (one per mode, two small cameras). The
// engine's questions about the list are answered from the fake view, as the window answers them
// from its list.
class PlaybackControllerEngine : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_data =
            new TempFolder; // NOLINT(cppcoreguidelines-owning-memory): freed in TearDownTestSuite
        mkcard::CardOptions options;
        options.rule = ruleFile();
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
        delete s_data; // NOLINT(cppcoreguidelines-owning-memory)
        s_data = nullptr;
    }
    static std::string ruleFile() {
        return std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    }

    void SetUp() override {
        m_controller.AttachEngine(IIntrReplayEx::Create());
        IIntrReplayEx& engine = *m_controller.Engine();
        engine.Initialize(nullptr, IVideoDecoder::kFormatYuv);
        engine.EnableRecovery(0);
        engine.SetCallback(&PlaybackControllerEngine::EngineEvent, this);
        engine.SetPBSpeedOption(0);
        engine.SetPBSpeed(1.0);
    }
    void TearDown() override { m_controller.ReleaseEngine(); }

    // Reads a card as the loading dialog does, into the fake list; the last row is selected.
    void Load(const std::filesystem::path& card) {
        IIntrReplayEx& engine = *m_controller.Engine();
        engine.SetDbPath(card.string());
        const std::vector<_AVI_NAME_FORMAT2> rules = {naming::ReadNameFormat(ruleFile(), 2)};
        engine.SetProgressCallback(&PlaybackControllerEngine::LoadProgress, this);
        ASSERT_GE(FindNameRule(engine, rules).rule, 0);
        ASSERT_NE(engine.procOpenList(), 0);
        engine.SetProgressCallback(nullptr, nullptr);
        ASSERT_EQ(m_view.rows.size(), 3U);
        m_view.selected = 2;
        m_controller.SetLoadedPath(QString::fromStdString(card.string()));
        m_controller.SetLoadState(viewer::kLoaded);
    }

    static void LoadProgress(unsigned code, std::intptr_t /*param*/, void* data, void* user) {
        if (code == kListEntryFound && data != nullptr) {
            static_cast<PlaybackControllerEngine*>(user)->m_view.rows.push_back(
                *static_cast<const CTimeList*>(data));
        }
    }

    static void EngineEvent(unsigned code, std::intptr_t param, void* payload, void* user) {
        auto& self = *static_cast<PlaybackControllerEngine*>(user);
        switch (code) {
        case 140: {
            auto& entry = *static_cast<CTimeList*>(payload);
            if (!self.m_view.ListEntry(static_cast<int>(param), entry)) {
                entry.m_nFirstFileNumber = {-1, -1, -1};
            }
            break;
        }
        case 141:
            *static_cast<int*>(payload) =
                param >= 0 && param < self.m_view.ListRowCount() ? static_cast<int>(param) : -1;
            break;
        case 142:
            *static_cast<int*>(payload) = self.m_view.ListSelectedRow();
            break;
        case 70:
            static_cast<_PLAY_END_INFO*>(payload)->nFlag = 0;
            self.m_ended = true;
            break;
        case 133: {
            const auto& frame = *static_cast<const _FRAME_INFO*>(payload);
            if (frame.nChannel == 0) {
                self.m_controller.SetCurrentListIndex(frame.fileInfo.nListIndex);
            }
            break;
        }
        case 170: {
            const int channel = static_cast<const _PICTURE_INFO*>(payload)->nChannel;
            if (channel >= 0 && channel <= 2) {
                self.m_controller.CountPicture(channel);
            }
            break;
        }
        case 180:
            static_cast<_AUDIO_BLOCK*>(payload)->nResult = 0;
            break;
        case 182:
            *static_cast<int*>(payload) = 1;
            break;
        default:
            break;
        }
    }

    static inline TempFolder* s_data = nullptr;
    FakeView m_view;
    PlaybackController m_controller{m_view};
    std::atomic<bool> m_ended{false};
};

} // namespace

TEST_F(PlaybackControllerEngine, PlayPauseResumeAndStopDriveTheEngine) {
    Load(s_data->path() / "card");
    m_view.selected = 0;
    m_controller.Play();
    ASSERT_EQ(m_controller.LoadState(), viewer::kPlaying);
    // The list learns it plays before the engine asks it for the row.
    EXPECT_EQ(m_view.listStates, std::vector<int>{viewer::kPlaying});
    EXPECT_EQ(m_view.states, (std::vector<int>{viewer::kLoaded, viewer::kPlaying}));
    ASSERT_TRUE(waitFor([&] { return m_controller.PicturesShown(0) >= 3; }, 30000));
    EXPECT_EQ(m_controller.CurrentListIndex(), 0);

    m_controller.PauseOrResume();
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEnginePaused);
    m_controller.PauseOrResume();
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEngineForward);
    EXPECT_EQ(m_view.playButtons, (std::vector<bool>{true, false}));

    m_controller.StopPlayback();
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
    EXPECT_EQ(m_controller.CurrentListIndex(), -1);
    EXPECT_EQ(m_view.forgotten, std::vector<bool>{true});
    EXPECT_EQ(m_view.nothingPlayedMarks, 1);
}

TEST_F(PlaybackControllerEngine, PlayCommandAnswersWhetherPlaybackRuns) {
    Load(s_data->path() / "card");
    std::intptr_t result = -1;
    ASSERT_TRUE(m_controller.HandleCommand(viewer::kPlay, 0, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kPlay, 0, result));
    EXPECT_EQ(result, 1); // already running
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kPause, 0, result));
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEnginePaused);
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kPlay, 0, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEngineForward);
    // The pause asked for over the command bus reports the state it found.
    EXPECT_TRUE(m_controller.HandleCommand(viewer::kEngineStateAndPause, 0, result));
    EXPECT_EQ(result, kEngineForward);
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEnginePaused);
    m_controller.StopPlayback();
}

TEST_F(PlaybackControllerEngine, NextFileWhilePlayingPlaysTheNextRowAndStopsAfterTheLast) {
    Load(s_data->path() / "card");
    m_view.selected = 1;
    m_controller.Play();
    ASSERT_TRUE(waitFor([&] { return m_controller.CurrentListIndex() == 1; }, 30000));
    std::intptr_t result = -1;
    ASSERT_TRUE(m_controller.HandleCommand(viewer::kNextFile, 0, result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(m_view.selected, 2);
    EXPECT_EQ(m_controller.LoadState(), viewer::kPlaying);
    ASSERT_TRUE(waitFor([&] { return m_controller.CurrentListIndex() == 2; }, 30000));
    m_controller.MoveFile(1);
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
}

TEST_F(PlaybackControllerEngine, StopOrRestartPlaysARunningFileAgainAndStopsAPausedOne) {
    Load(s_data->path() / "card");
    m_controller.Play();
    ASSERT_TRUE(waitFor([&] { return m_controller.PicturesShown(0) >= 3; }, 30000));
    m_controller.StopOrRestart();
    EXPECT_EQ(m_controller.LoadState(), viewer::kPlaying);
    m_controller.PauseOrResume();
    m_controller.StopOrRestart();
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
}

TEST_F(PlaybackControllerEngine, DeletingThePlayingFileStopsAndRemovesIt) {
    TempFolder copy;
    std::filesystem::copy(s_data->path() / "card", copy.path() / "card",
                          std::filesystem::copy_options::recursive);
    Load(copy.path() / "card");
    m_view.selected = 0;
    m_controller.Play();
    ASSERT_TRUE(waitFor([&] { return m_controller.CurrentListIndex() == 0; }, 30000));
    const std::string path = m_view.rows[0].CurrentPath(0);
    ASSERT_TRUE(std::filesystem::exists(path));
    const std::string rear = m_view.rows[0].CurrentPath(1);
    ASSERT_TRUE(std::filesystem::exists(rear));

    m_controller.DeleteCurrentFile(); // the user says no
    EXPECT_EQ(m_controller.LoadState(), viewer::kPlaying);
    EXPECT_TRUE(std::filesystem::exists(path));

    m_view.agree = true;
    m_controller.DeleteCurrentFile();
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(rear));  // every camera's file of the recording
    EXPECT_EQ(m_view.rows.size(), 2U);
    EXPECT_EQ(m_view.selected, 0);
    const std::string name = std::filesystem::path(path).filename().string();
    EXPECT_EQ(m_view.confirmed, (std::vector<std::string>{name + " playing", name + " playing"}));
}

TEST_F(PlaybackControllerEngine, OpeningAnotherCardEndsPlaybackAtOnce) {
    Load(s_data->path() / "card");
    m_controller.SetChannelCount(3);
    m_controller.Play();
    ASSERT_TRUE(waitFor([&] { return m_controller.PicturesShown(0) >= 1; }, 30000));
    m_controller.PrepareForOpen();
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
    EXPECT_EQ(m_controller.ChannelCount(), 2);
    EXPECT_EQ(m_controller.CurrentListIndex(), -1);
    EXPECT_EQ(m_view.forgotten, std::vector<bool>{false});
}

TEST_F(PlaybackControllerEngine, DialogsPauseForwardPlaybackAndResumeOnlyWhatTheyPaused) {
    Load(s_data->path() / "card");
    m_view.selected = 0;
    // Stopped: nothing to pause, nothing resumed.
    EXPECT_FALSE(m_controller.PauseForDialog());
    m_controller.Play();
    ASSERT_EQ(m_controller.LoadState(), viewer::kPlaying);
    ASSERT_TRUE(waitFor([&] { return m_controller.PicturesShown(0) >= 2; }, 30000));

    const bool paused = m_controller.PauseForDialog();
    ASSERT_TRUE(paused);
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEnginePaused);
    m_controller.ResumeAfterDialog(paused);
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEngineForward);

    // Paused by the user before the dialog: it stays paused afterwards.
    m_controller.PauseOrResume();
    ASSERT_EQ(m_controller.Engine()->GetPlayerState(), kEnginePaused);
    const bool pausedAgain = m_controller.PauseForDialog();
    EXPECT_FALSE(pausedAgain);
    m_controller.ResumeAfterDialog(pausedAgain);
    EXPECT_EQ(m_controller.Engine()->GetPlayerState(), kEnginePaused);

    // Stopped while the dialog was open: nothing starts again.
    m_controller.PauseOrResume();
    ASSERT_TRUE(m_controller.PauseForDialog());
    m_controller.StopPlayback();
    m_controller.ResumeAfterDialog(true);
    EXPECT_EQ(m_controller.LoadState(), viewer::kLoaded);
}
