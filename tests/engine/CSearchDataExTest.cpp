#include "engine/CSearchDataEx.h"
#include "engine/CStreamCatalogue.h"

#include "picturedec/IVideoDecoder.h"
#include "tests/engine/SmallCard.h"
#include "tests/support/TempFolder.h"
#include "tools/tachy-play/HeadlessViewer.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using tachy::play::HeadlessViewer;
using tachy::test::TempFolder;

namespace {

class Worker : public testing::Test {
protected:
    void SetUp() override {
        const mkcard::CardOptions options = tachy::test::smallCard(m_folder.path() / "card", 4, 2);
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
        m_format = naming::ReadNameFormat(options.rule, 2);
        CArchiveAvi reader;
        reader.SetNameFormat(m_format);
        CStreamCatalogue catalogue(reader);
        catalogue.SetNameFormat(m_format);
        catalogue.SetDbPath(options.out.string());
        catalogue.SetCallback(&HeadlessViewer::Callback, &m_viewer);
        ASSERT_EQ(catalogue.CheckRecordMode(), 1);
        ASSERT_EQ(catalogue.procOpenList(), 1);
        ASSERT_EQ(m_viewer.Entries().size(), 2U);
        m_worker = makeWorker(0);
    }

    std::unique_ptr<CSearchDataEx> makeWorker(int channel) {
        auto decoder = IVideoDecoder::Create(2, 1);
        decoder->InitCodec();
        decoder->SetTargetFormat(IVideoDecoder::kFormatYuv);
        auto worker = std::make_unique<CSearchDataEx>(channel, std::move(decoder));
        worker->SetCallback(&HeadlessViewer::Callback, &m_viewer);
        worker->SetNameFormat(m_format);
        worker->SetRecordMode(CStreamCatalogue::kKindAvi);
        worker->SetEntryHook([this](int index, int) {
            const std::lock_guard<std::mutex> guard(m_hookMutex);
            m_hookCalls.push_back(index);
        });
        return worker;
    }

    // Waits (at most 10 s) until the condition holds.
    template <typename Condition> bool waitFor(Condition condition) {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }

    std::size_t soundCount() { return m_worker->Queues().SoundCount(); }

    TempFolder m_folder;
    _AVI_NAME_FORMAT2 m_format{};
    HeadlessViewer m_viewer;
    std::mutex m_hookMutex;
    std::vector<int> m_hookCalls;  // guarded by m_hookMutex
    std::unique_ptr<CSearchDataEx> m_worker;
};

constexpr std::int64_t kStartMs = 1709211909000LL;

} // namespace

TEST_F(Worker, FillsBoundedQueuesOfPicturesAndSound) {
    m_worker->SetState(2);
    m_worker->Start(0, 1);
    ASSERT_TRUE(waitFor([&] { return m_worker->PictureCount() == 13 && soundCount() == 17; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(m_worker->PictureCount(), 13U);  // the video step stops above 12
    EXPECT_EQ(soundCount(), 17U);              // the sound step above 16
    auto first = m_worker->TakePicture();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->frame.llTime, kStartMs);
    EXPECT_EQ(first->frame.nChannel, 0);
    EXPECT_EQ(first->frame.nWidth, 64);
    EXPECT_EQ(first->frame.nFormat, 6);
    EXPECT_EQ(first->frame.nKeyIndex, 0);
    EXPECT_EQ(first->listIndex, 0);
    ASSERT_NE(first->frame.records, nullptr);
    EXPECT_EQ(first->frame.nRecordCount, 60);
    EXPECT_EQ(first->frame.records[0].nType, driving::kGps);
    EXPECT_EQ(first->frame.records[0].nLength, 72);
    std::uint64_t generation = 0;
    const auto sound = m_worker->Queues().TakeSound(generation);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->format, 1);
    EXPECT_EQ(sound->bitsPerSample, 16);
    EXPECT_EQ(sound->sampleRate, 8000);
    EXPECT_EQ(sound->samples.size(), 1600U);  // 100 ms of mu-law, expanded
    EXPECT_EQ(sound->timeMs, kStartMs);
    EXPECT_TRUE(m_worker->Stop(1000ms));
    EXPECT_FALSE(m_worker->IsRunning());
}

TEST_F(Worker, PlaysAcrossEntriesToTheEndOfTheList) {
    m_worker->SetState(2);
    m_worker->Start(0, 1);
    std::int64_t last = 0;
    int pictures = 0;
    ASSERT_TRUE(waitFor([&] {
        while (auto picture = m_worker->TakePicture()) {
            EXPECT_GT(picture->frame.llTime, last);
            last = picture->frame.llTime;
            ++pictures;
        }
        return !m_worker->IsRunning() && m_worker->PictureCount() == 0;
    }));
    EXPECT_EQ(pictures, 120);  // two entries of 60 frames
    EXPECT_EQ(last, kStartMs + 3966);
    const std::lock_guard<std::mutex> guard(m_hookMutex);
    EXPECT_EQ(m_hookCalls, std::vector<int>{1});
}

// The next entry is opened while the last pictures of the one before still wait in the queue,
// so that the clock never waits for a file to open at a change of entry; the sound of the first
// file is read to its end before the reader moves on, so no block is lost at the change.
TEST_F(Worker, OpensTheNextEntryWhileTheLastPicturesStillWait) {
    m_worker->SetState(2);
    m_worker->Start(0, 1);
    std::vector<std::int64_t> soundTimes;
    const auto takeSounds = [&] {
        std::uint64_t generation = 0;
        while (auto block = m_worker->Queues().TakeSound(generation)) {
            soundTimes.push_back(block->timeMs);
        }
    };
    for (int taken = 0; taken < 60; ++taken) {
        // A full queue before every picture of the first entry is taken, also for its last
        // twelve: the worker has read on into the second entry.
        ASSERT_TRUE(waitFor([&] {
            takeSounds();
            return m_worker->PictureCount() == CSearchDataEx::kPictureQueueLimit + 1;
        })) << "picture " << taken << ": " << m_worker->PictureCount() << " queued";
        const auto picture = m_worker->TakePicture();
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->listIndex, 0);
        EXPECT_EQ(picture->frame.llTime, kStartMs + taken * 1000 / 30);
    }
    {
        const std::lock_guard<std::mutex> guard(m_hookMutex);
        EXPECT_EQ(m_hookCalls, std::vector<int>{1});
    }
    const auto next = m_worker->TakePicture();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->listIndex, 1);
    EXPECT_EQ(next->frame.llTime, kStartMs + 2000);
    ASSERT_TRUE(waitFor([&] {
        takeSounds();
        while (m_worker->TakePicture()) {
        }
        return !m_worker->IsRunning();
    }));
    takeSounds();
    // Every 100 ms block of both entries, in order, none lost at the change of file.
    ASSERT_EQ(soundTimes.size(), 40U);
    for (std::size_t i = 0; i < soundTimes.size(); ++i) {
        EXPECT_EQ(soundTimes[i], kStartMs + static_cast<std::int64_t>(i) * 100) << i;
    }
}

TEST_F(Worker, OnlyKeyFramesFromTheSpeedOptionsThreshold) {
    m_worker->SetSpeedOption(1);
    m_worker->SetSpeed(4.0);
    m_worker->SetState(2);
    m_worker->Start(0, 1);
    ASSERT_TRUE(waitFor([&] { return m_worker->PictureCount() >= 5; }));
    for (int i = 0; i < 5; ++i) {
        auto picture = m_worker->TakePicture();
        EXPECT_EQ(picture->frame.nFramePosition % 10, 0) << picture->frame.nFramePosition;
    }
    EXPECT_EQ(soundCount(), 0U);  // no sound away from normal speed
    m_worker->Stop(1000ms);

    auto slower = makeWorker(0);
    slower->SetSpeedOption(1);
    slower->SetSpeed(3.9);
    slower->SetState(2);
    slower->Start(0, 1);
    ASSERT_TRUE(waitFor([&] { return slower->PictureCount() >= 3; }));
    EXPECT_EQ(slower->TakePicture()->frame.nFramePosition, 0);
    EXPECT_EQ(slower->TakePicture()->frame.nFramePosition, 1);
    slower->Stop(1000ms);
}

TEST_F(Worker, BackwardStepsGoFromKeyFrameToKeyFrame) {
    m_worker->SetState(3);
    m_worker->Start(1, -1);
    ASSERT_TRUE(waitFor([&] { return m_worker->PictureCount() >= 4; }));
    std::vector<int> positions;
    for (int i = 0; i < 4; ++i) {
        positions.push_back(m_worker->TakePicture()->frame.nFramePosition);
    }
    EXPECT_EQ(positions, (std::vector<int>{50, 40, 30, 20}));
    m_worker->Stop(1000ms);
}

TEST_F(Worker, RearChannelReadsItsOwnFile) {
    auto rear = makeWorker(1);
    rear->SetState(2);
    rear->Start(0, 1);
    ASSERT_TRUE(waitFor([&] { return rear->PictureCount() >= 2; }));
    auto picture = rear->TakePicture();
    EXPECT_EQ(picture->frame.nChannel, 1);
    EXPECT_EQ(picture->frame.records, nullptr);  // driving data rides with channel 0 only
    EXPECT_EQ(rear->Queues().SoundCount(), 0U);  // only channel 0 produces sound
    rear->Stop(1000ms);
}

TEST(DrivingRecordType, ChosenByLength) {
    const std::uint8_t text[8] = {'G', '$', 'G', 'P', 'R', 'M', 'C', ','};
    EXPECT_EQ(driving::TypeCode(text, 15), driving::kGSensorShort);
    EXPECT_EQ(driving::TypeCode(text, 57), driving::kVehicle);
    EXPECT_EQ(driving::TypeCode(text, 80), driving::kGps);
    EXPECT_EQ(driving::TypeCode(text, 400), driving::kNmea);
    EXPECT_EQ(driving::TypeCode(text, 8), driving::kGprmcText);
    EXPECT_EQ(driving::TypeCode(text + 1, 7), driving::kOther);
}
