#include "engine/IIntrReplayEx.h"

#include "engine/CReplayMgrEx.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;
using tachy::play::HeadlessViewer;
using tachy::test::TempFolder;

namespace {

constexpr std::int64_t kStartMs = 1709211909000LL;

// An engine on a two-channel card of two 1-second entries, with the list walked.
class Engine : public testing::Test {
protected:
    void SetUp() override {
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = m_folder.path() / "card";
        options.width = 64;
        options.height = 48;
        options.seconds = 2;
        options.periodSeconds = 1;
        options.keyInterval = 10;
        options.channels = 2;
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        m_engine = IIntrReplayEx::Create();
        ASSERT_EQ(m_engine->Initialize(nullptr, IVideoDecoder::kFormatYuv), 1);
        m_engine->SetCallback(&HeadlessViewer::Callback, &m_viewer);
        m_engine->SetDbPath(options.out.string());
        m_engine->SetAviFileNameFormat(naming::ReadNameFormat(options.rule, 2));
        ASSERT_EQ(m_engine->CheckRecordMode(), 1);
        ASSERT_EQ(m_engine->procOpenList(), 1);
        ASSERT_EQ(m_viewer.Entries().size(), 2U);
        m_viewer.Clear();
    }
    void TearDown() override {
        m_engine->Stop();
        m_engine->Release();
    }

    TempFolder m_folder;
    HeadlessViewer m_viewer;
    std::unique_ptr<IIntrReplayEx> m_engine;
};

} // namespace

TEST_F(Engine, PlaysForwardThroughEveryEntryInStepToTheEnd) {
    ASSERT_EQ(m_engine->PlayForward(), 1);
    EXPECT_EQ(m_engine->GetPlayerState(), 2);
    ASSERT_TRUE(m_viewer.WaitForEnd(15));
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
    // The clock keeps real time: 1.966 s of recording take about as long to show.
    const std::int64_t wall = pictures.back().wallMs - pictures.front().wallMs;
    EXPECT_GT(wall, 1850);
    EXPECT_LT(wall, 2400);
    EXPECT_EQ(m_engine->GetCurrentIndex(0), 1);
}

TEST_F(Engine, RearDelayHoldsTheRearPicturesBack) {
    m_engine->SetRearCameraDelay(500);
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForEnd(15));
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
    ASSERT_TRUE(m_viewer.WaitForPictures(5, 10));
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
    ASSERT_TRUE(m_viewer.WaitForPictures(3, 10));
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
    ASSERT_TRUE(m_viewer.WaitForEnd(15));
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
    ASSERT_TRUE(m_viewer.WaitForEnd(15));
    EXPECT_EQ(m_viewer.SoundBlocks(), 0);
    EXPECT_EQ(m_viewer.Pictures().size(), 60U);
}

TEST_F(Engine, PlayListWhilePlayingStopsFirst) {
    ASSERT_EQ(m_engine->PlayForward(), 1);
    ASSERT_TRUE(m_viewer.WaitForPictures(3, 10));
    EXPECT_EQ(m_engine->PlayList(1, 1), 0);
    EXPECT_EQ(m_viewer.Count(20), 1);
    m_viewer.Clear();
    ASSERT_TRUE(m_viewer.WaitForEnd(15));
    EXPECT_EQ(m_viewer.Pictures().front().timeMs, kStartMs + 1000);
    EXPECT_EQ(m_viewer.Pictures().back().timeMs, kStartMs + 1000 + 966);
}
