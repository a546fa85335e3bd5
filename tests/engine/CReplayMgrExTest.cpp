#include "engine/IIntrReplayEx.h"

#include "engine/CReplayMgrEx.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "tests/engine/SmallCard.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;
using tachy::play::HeadlessViewer;
using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL;

// A card of two one-second recordings `gap` seconds apart (start to start), walked by an engine.
std::unique_ptr<IIntrReplayEx> gapCard(const TempFolder& folder, int gap, HeadlessViewer& viewer) {
    const std::string rules = std::string(TACHY_DATA_DIR) + "/_option/";
    const std::int64_t first = 1709211909;
    for (const std::int64_t start : {first, first + gap}) {
        mkcard::CardOptions options;
        options.rule = rules + "FileNameRule_A.ini";
        options.out = folder.path() / "card";
        options.width = 64;
        options.height = 48;
        options.seconds = 1;
        options.startUtc = start;
        options.audio = mkcard::CardOptions::Audio::None;
        std::string error;
        EXPECT_TRUE(mkcard::generateCard(options, error)) << error;
    }
    // Both runs numbered their file 1: the second becomes file 2.
    const auto second = naming::BuildName(naming::ReadNameFormat(rules + "FileNameRule_A.ini", 2),
                                          (folder.path() / "card" / "normal").string(), 0, 1, first + gap, 0, 0, 'N');
    const auto renamed = naming::BuildName(naming::ReadNameFormat(rules + "FileNameRule_A.ini", 2),
                                           (folder.path() / "card" / "normal").string(), 0, 2, first + gap, 0, 0, 'N');
    std::filesystem::rename(second, renamed);
    return tachy::test::openSmallCard(folder.path() / "card", viewer, 2);
}

// An engine on a two-channel card of two 1-second entries, with the list walked.
class Engine : public testing::Test {
protected:
    void SetUp() override {
        const mkcard::CardOptions options = tachy::test::smallCard(m_folder.path() / "card", 2, 1);
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        m_engine = tachy::test::openSmallCard(options.out, m_viewer, 2);
        ASSERT_NE(m_engine, nullptr);
    }
    void TearDown() override {
        if (m_engine) {
            m_engine->Stop();
            m_engine->Release();
        }
    }

    TempFolder m_folder;
    HeadlessViewer m_viewer;
    std::unique_ptr<IIntrReplayEx> m_engine;
};

} // namespace

TEST_F(Engine, PlaysForwardThroughEveryEntryInStepToTheEnd) {
    ASSERT_EQ(m_engine->PlayForward(), 1);
    EXPECT_EQ(m_engine->GetPlayerState(), 2);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    const auto pictures = m_viewer.Pictures();
    ASSERT_EQ(pictures.size(), 60U);  // channel 0: two entries of 30 frames
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(pictures[i].timeMs, kStartMs + static_cast<std::int64_t>(i) * 1000 / 30) << i;
    }
    // Front and rear alternate: neither runs ahead by more than one picture.
    int balance = 0;
    int worst = 0;
    for (const int channel : m_viewer.Sequence()) {
        balance += channel == 0 ? 1 : -1;
        worst = std::max(worst, std::abs(balance));
    }
    EXPECT_LE(worst, 2);
    EXPECT_EQ(m_viewer.Sequence().size(), 120U);
    EXPECT_GT(m_viewer.SoundBlocks(), 10);
    // The clock never runs ahead of real time: 1.966 s of recording take at least about as long
    // to show. (How close to real time it keeps is bench_engine's real-time factor: a loaded
    // machine or a sanitizer can only make this longer.)
    const std::int64_t wall = pictures.back().wallMs - pictures.front().wallMs;
    EXPECT_GT(wall, 1850);
    EXPECT_EQ(m_engine->GetCurrentIndex(0), 1);
}

TEST_F(Engine, RearDelayHoldsTheRearPicturesBack) {
    m_engine->SetRearCameraDelay(500);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    // The clock starts at the first picture plus the delay, so the front's first half second
    // goes by at once; from then on the rear picture of time T shows with the front picture of
    // T + 500: the front stays about fifteen pictures ahead.
    int front = 0;
    int rear = 0;
    for (const int channel : m_viewer.Sequence()) {
        (channel == 0 ? front : rear) += 1;
        if (front == 40) {
            break;
        }
    }
    EXPECT_GE(front - rear, 13);
    EXPECT_LE(front - rear, 17);
}

TEST_F(Engine, NoSelectedRowMeansNothingPlays) {
    m_viewer.SetCurrentRow(-1);
    EXPECT_EQ(m_engine->PlayForward(), 0);
    EXPECT_EQ(m_engine->GetPlayerState(), 0);
    EXPECT_EQ(m_viewer.Count(60), 1);
    EXPECT_EQ(m_engine->StepBackward(0), 0);
}

TEST_F(Engine, StopEndsPlaybackAndSaysSo) {
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(5, 60));
    EXPECT_EQ(m_engine->Stop(), 1);
    EXPECT_EQ(m_engine->GetPlayerState(), 0);
    EXPECT_EQ(m_viewer.Count(20), 1);
    const auto shown = m_viewer.Pictures().size();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(m_viewer.Pictures().size(), shown);
    int width = 0;
    int height = 0;
    int code = 0;
    m_engine->ClearData();
    EXPECT_EQ(m_engine->GetLastVideoImage(2, &width, &height, &code), nullptr);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 360);
}

TEST_F(Engine, PausedPictureStaysAndKeyFrameSearchShowsAnother) {
    m_viewer.SetCurrentRow(1);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(3, 60));
    EXPECT_EQ(m_engine->GotoTimeSearch(1), 0);  // only while paused
    ASSERT_EQ(m_engine->Pause(), 1);
    std::this_thread::sleep_for(100ms);
    const auto before = m_viewer.Pictures().size();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(m_viewer.Pictures().size(), before);  // no new frame records while paused
    int width = 0;
    int height = 0;
    int code = 0;
    EXPECT_NE(m_engine->GetLastVideoImage(0, &width, &height, &code), nullptr);
    EXPECT_EQ(width, 64);
    ASSERT_EQ(m_engine->GotoTimeSearch(2), 1);  // the third key frame of entry 1
    const auto pictures = m_viewer.Pictures();
    ASSERT_FALSE(pictures.empty());
    EXPECT_EQ(pictures.back().position, 20);
    EXPECT_EQ(pictures.back().timeMs, kStartMs + 1000 + 666);
}

TEST_F(Engine, BackwardPlayShowsKeyFramesInReverse) {
    m_viewer.SetCurrentRow(1);
    ASSERT_EQ(m_engine->PlayBackward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    const auto pictures = m_viewer.Pictures();
    ASSERT_GE(pictures.size(), 4U);
    for (std::size_t i = 1; i < pictures.size(); ++i) {
        EXPECT_LT(pictures[i].timeMs, pictures[i - 1].timeMs);
        EXPECT_EQ(pictures[i].position % 10, 0);
    }
}

TEST_F(Engine, FasterThanNormalHasNoSound) {
    m_engine->SetPBSpeed(2.0);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    EXPECT_EQ(m_viewer.SoundBlocks(), 0);
    EXPECT_EQ(m_viewer.Pictures().size(), 60U);
}

TEST_F(Engine, PlayListWhilePlayingStopsFirst) {
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(3, 60));
    EXPECT_EQ(m_engine->PlayList(1, 1), 0);
    EXPECT_EQ(m_viewer.Count(20), 1);
    m_viewer.Clear();
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    EXPECT_EQ(m_viewer.Pictures().front().timeMs, kStartMs + 1000);
    EXPECT_EQ(m_viewer.Pictures().back().timeMs, kStartMs + 1000 + 966);
}

TEST_F(Engine, StepShowsOnePictureAndPauses) {
    ASSERT_EQ(m_engine->StepForward(0), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(1, 60));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_viewer.Pictures().size(), 1U);
    EXPECT_EQ(m_viewer.Pictures().front().timeMs, kStartMs);
    ASSERT_EQ(m_engine->StepForward(-1), 1);  // the next frame
    ASSERT_TRUE(m_viewer.WaitForPictures(2, 60));
    std::this_thread::sleep_for(200ms);
    const auto pictures = m_viewer.Pictures();
    ASSERT_EQ(pictures.size(), 2U);
    EXPECT_EQ(pictures[1].position, 1);
}

TEST_F(Engine, KeyFramesOnlyFromTheThresholdSpeed) {
    m_engine->SetPBSpeedOption(2);
    m_engine->SetPBSpeed(2.0);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    const auto pictures = m_viewer.Pictures();
    ASSERT_EQ(pictures.size(), 6U);  // three key frames in each of the two entries
    for (const auto& picture : pictures) {
        EXPECT_EQ(picture.position % 10, 0);
    }
}

TEST_F(Engine, HoldAndReleaseKeepThePlay) {
    EXPECT_EQ(m_engine->HoldCurrentImage(), 0);  // nothing to hold while stopped
    EXPECT_EQ(m_engine->ReleaseCurrentImage(), 1);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(5, 60));
    EXPECT_EQ(m_engine->HoldCurrentImage(), 1);
    EXPECT_EQ(m_engine->GetPlayerState(), 8);
    EXPECT_EQ(m_engine->ReleaseCurrentImage(), 1);
    EXPECT_EQ(m_engine->GetPlayerState(), 2);
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    EXPECT_EQ(m_viewer.Pictures().back().timeMs, kStartMs + 1000 + 966);
}

TEST_F(Engine, DeletesTheCheckedEntriesFiles) {
    const std::string first = m_viewer.Entries()[0].CurrentPath(0);
    const std::string rear = m_viewer.Entries()[0].CurrentPath(1);
    const std::string kept = m_viewer.Entries()[1].CurrentPath(0);
    EXPECT_EQ(m_engine->DeleteSelectedFile(0), -1);  // nothing checked
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_EQ(m_engine->GetDuration(kept), 1000U);
    m_viewer.SetCurrentRow(1);
    m_viewer.SetChecked({0});
    EXPECT_EQ(m_engine->DeleteSelectedFile(0), 0);  // the current row moves up by one
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(rear));
    EXPECT_TRUE(std::filesystem::exists(kept));
}

TEST(EngineCards, PlaysThreeChannelAv2AndHevcCardsAndSkipsLongGaps) {
    struct Card {
        std::vector<std::string> arguments;
        int pictures;
    };
    const std::string rules = std::string(TACHY_DATA_DIR) + "/_option/";
    const Card cards[] = {
        {{"--rule", rules + "FileNameRule_B.ini", "--channels", "3", "--seconds", "1"}, 30},
        {{"--rule", rules + "FileNameRule_C.ini", "--channels", "2", "--av2", "--codec", "hevc", "--seconds", "1"}, 30},
    };
    for (const Card& card : cards) {
        const TempFolder folder;
        mkcard::CardOptions options;
        std::vector<std::string> arguments = card.arguments;
        arguments.insert(arguments.begin(), "mkcard");
        arguments.insert(arguments.end(), {"--out", (folder.path() / "card").string(), "--size", "64x48"});
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        std::string error;
        ASSERT_TRUE(mkcard::parseArguments(static_cast<int>(argv.size()), argv.data(), options, error)) << error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        HeadlessViewer viewer;
        auto engine = IIntrReplayEx::Create();
        engine->Initialize(nullptr, IVideoDecoder::kFormatYuv);
        engine->SetCallback(&HeadlessViewer::Callback, &viewer);
        engine->SetDbPath(options.out.string());
        engine->SetAviFileNameFormat(naming::ReadNameFormat(options.rule, 2));
        ASSERT_EQ(engine->CheckRecordMode(), 1);
        ASSERT_EQ(engine->procOpenList(), 1);
        viewer.Clear();
        ASSERT_EQ(engine->PlayForward(), 1);
        ASSERT_TRUE(viewer.WaitForEnd(60)) << options.rule;
        EXPECT_EQ(static_cast<int>(viewer.Pictures().size()), card.pictures) << options.rule;
        const auto sequence = viewer.Sequence();
        EXPECT_EQ(static_cast<int>(sequence.size()), card.pictures * options.channels) << options.rule;
        engine->Stop();
    }

    // Two recordings two minutes apart: the gap is skipped at once, not waited out. Waiting it
    // out would take two minutes at least, far beyond what any slowness of the machine adds.
    const TempFolder folder;
    HeadlessViewer viewer;
    auto engine = gapCard(folder, 120, viewer);
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(engine->PlayForward(), 1);
    ASSERT_TRUE(viewer.WaitForEnd(60));
    const auto pictures = viewer.Pictures();
    ASSERT_EQ(pictures.size(), 60U);
    EXPECT_LT(pictures[30].wallMs - pictures[29].wallMs, 60000);  // 119 s of recording time apart
    engine->Stop();
}

TEST_F(Engine, SpeedChangeStopsTheSoundAndHalfSpeedShowsEveryFrame) {
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(10, 60));
    ASSERT_GT(m_viewer.SoundBlocks(), 0);
    m_engine->SetPBSpeed(0.5);
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (m_viewer.Count(183) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_GE(m_viewer.Count(183), 1);  // sound output told to stop
    const int blocks = m_viewer.SoundBlocks();
    ASSERT_TRUE(m_viewer.WaitForEnd(60));
    EXPECT_EQ(m_viewer.SoundBlocks(), blocks);  // and no more sound at half speed
    const auto pictures = m_viewer.Pictures();
    ASSERT_EQ(pictures.size(), 60U);
    // The second half played at half speed: at least about two seconds for the second entry
    // (the wait for the end above rules out the crawl of a clock that drops the fraction of
    // every millisecond).
    EXPECT_GT(pictures.back().wallMs - pictures[30].wallMs, 1700);
}

TEST(EngineGaps, AGapOfThreeSecondsIsPlayedAsStillTime) {
    const TempFolder folder;
    HeadlessViewer viewer;
    auto engine = gapCard(folder, 4, viewer);
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(engine->PlayForward(), 1);
    ASSERT_TRUE(viewer.WaitForEnd(60));
    const auto pictures = viewer.Pictures();
    ASSERT_EQ(pictures.size(), 60U);
    // 3.033 s of recording time between the last picture of one and the first of the next.
    EXPECT_GT(pictures[30].wallMs - pictures[29].wallMs, 2500);
    engine->Stop();
}
