#include "audio/sound/CDxSoundEx.h"
#include "audio/sound/SoundBlockFeed.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <latch>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

tachy::avi::WaveFormatEx pcm(int rate) {
    tachy::avi::WaveFormatEx format{};
    format.wFormatTag = 1;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<std::uint32_t>(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = static_cast<std::uint32_t>(rate * 2);
    return format;
}

// Polls `done` every few milliseconds until it holds or `limit` has passed (a generous bound for
// something that happens within a few device callbacks, not a timing figure).
template <typename Condition>
bool eventually(Condition done, std::chrono::milliseconds limit = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

class Sound : public testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1); // consumes at the real-time rate, no card needed
        ASSERT_EQ(m_sound.CreateDxSound(nullptr), 1);
        const auto format = pcm(8000);
        ASSERT_EQ(m_sound.CreateDSBuffer(&format, 1, 500), 1);
    }

    CDxSoundEx m_sound;
};

} // namespace

TEST_F(Sound, SizesTheBufferAndThresholdFromTheFormat) {
    EXPECT_EQ(m_sound.BufferSize(), 32000U);     // two seconds of 8 kHz 16-bit mono
    EXPECT_EQ(m_sound.GetGapThreshold(), 8000U); // half a second
    EXPECT_EQ(m_sound.IsCreateDSBuffer(), 1);
    const auto same = pcm(8000);
    const auto other = pcm(16000);
    EXPECT_EQ(m_sound.CompareFormat(&same, 1, 256), 0); // the buffer is kept
    EXPECT_EQ(m_sound.CompareFormat(&other, 1, 256), -1);
    auto eightBit = same;
    eightBit.wBitsPerSample = 8;
    EXPECT_EQ(m_sound.CompareFormat(&eightBit, 1, 256), -1);
}

TEST_F(Sound, AppendThatCrossesTheEndWrapsToTheBeginning) {
    const std::vector<unsigned char> block(30000, 1);
    ASSERT_EQ(m_sound.SetAudioBuffer(block.data(), 30000, 0), 1);
    EXPECT_EQ(m_sound.CheckDxBuffer(0), 1);
    EXPECT_EQ(m_sound.GetGap(), 30000U);
    const std::vector<unsigned char> more(4000, 2);
    ASSERT_EQ(m_sound.SetAudioBuffer(more.data(), 4000, 0), 1);
    // Written up to 2,000 bytes into the next round; nothing has played yet.
    EXPECT_EQ(m_sound.GetGap(), 2000U);
    EXPECT_EQ(m_sound.IsPlaying(), 0);
    const std::vector<unsigned char> tooMuch(32001, 3);
    EXPECT_EQ(m_sound.SetAudioBuffer(tooMuch.data(), 32001, 0), 0); // more than the buffer
    EXPECT_EQ(m_sound.GetGap(), 2000U);
    CDxSoundEx without;
    EXPECT_EQ(without.SetAudioBuffer(block.data(), 10, 1), 0); // no buffer: refused
}

TEST(SoundVolume, LevelsAndTheirInverse) {
    EXPECT_EQ(CDxSoundEx::VolumeToLevel(0), -4000);
    EXPECT_EQ(CDxSoundEx::VolumeToLevel(1), -4000);
    EXPECT_EQ(CDxSoundEx::VolumeToLevel(10), -2000);
    EXPECT_EQ(CDxSoundEx::VolumeToLevel(50), -602);
    EXPECT_EQ(CDxSoundEx::VolumeToLevel(100), 0);
    EXPECT_EQ(CDxSoundEx::LevelToVolume(0), 100);
    EXPECT_EQ(CDxSoundEx::LevelToVolume(-2000), 10);
    EXPECT_EQ(CDxSoundEx::LevelToVolume(-10000), 0);
}

TEST(SoundVolume, FadeRisesFromSilenceToTheTargetIn200Milliseconds) {
    EXPECT_EQ(CDxSoundEx::FadeLevel(0, 0), -10000);
    EXPECT_EQ(CDxSoundEx::FadeLevel(0, 100), -5000);
    EXPECT_EQ(CDxSoundEx::FadeLevel(0, 199), -50);
    EXPECT_EQ(CDxSoundEx::FadeLevel(0, 200), 0);
    EXPECT_EQ(CDxSoundEx::FadeLevel(0, 5000), 0);
    EXPECT_EQ(CDxSoundEx::FadeLevel(-602, 150), -2500);
    EXPECT_EQ(CDxSoundEx::FadeLevel(-602, 190), -602); // never above the target
}

TEST_F(Sound, VolumeAndMute) {
    EXPECT_EQ(m_sound.GetVolume(), 0); // a new buffer is silent
    m_sound.SetVolume(100);
    EXPECT_EQ(m_sound.GetVolume(), 100);
    m_sound.SetVolume(10);
    EXPECT_EQ(m_sound.GetVolume(), 10);
    m_sound.SetMute(1);
    EXPECT_EQ(m_sound.GetVolume(), 0);
    m_sound.SetVolume(100); // ignored while muted
    m_sound.SetMute(0);
    EXPECT_EQ(m_sound.GetVolume(), 10);
}

TEST_F(Sound, PacedToneIsPlayedInOrderUntilTheQueueRunsDry) {
    // Shared with the device's thread, which may still call in after a failed assertion.
    struct Heard {
        std::mutex mutex;
        std::vector<unsigned char> played; // guarded by mutex
        std::atomic<int> callbacks{0};
    };
    const auto heard = std::make_shared<Heard>();
    m_sound.SetTap([heard](const std::uint8_t* bytes, std::size_t size) {
        const std::lock_guard<std::mutex> guard(heard->mutex);
        heard->played.insert(heard->played.end(), bytes, bytes + size);
    });
    const auto played = [heard] {
        const std::lock_guard<std::mutex> guard(heard->mutex);
        return heard->played;
    };
    m_sound.SetVolume(100);
    // Two seconds of a 440 Hz tone, appended in 100 ms blocks as the viewer paces them.
    std::vector<unsigned char> tone;
    for (int i = 0; i < 16000; ++i) {
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 8000.0));
        tone.push_back(static_cast<unsigned char>(sample & 0xFF));
        tone.push_back(static_cast<unsigned char>((sample >> 8) & 0xFF));
    }
    for (std::size_t offset = 0; offset < tone.size(); offset += 1600) {
        ASSERT_TRUE(eventually([&] {
            return m_sound.IsPlaying() == 0 || m_sound.GetGap() < m_sound.GetGapThreshold();
        }));
        ASSERT_EQ(m_sound.SetAudioBuffer(tone.data() + offset, 1600, 1), 1);
    }
    // The queue runs dry: playback stops with a quarter of the threshold (2,000 bytes) left.
    ASSERT_TRUE(eventually([&] { return m_sound.IsPlaying() == 0; }));
    EXPECT_EQ(m_sound.DryStops(), 1);
    EXPECT_FALSE(m_sound.DeviceRunning());
    const std::vector<unsigned char> atTheStop = played();
    ASSERT_GE(atTheStop.size(), tone.size() - 2000 - 1);
    ASSERT_LE(atTheStop.size(), tone.size());
    EXPECT_TRUE(std::equal(atTheStop.begin(), atTheStop.end(), tone.begin()));
    // After the stop nothing more is taken from the buffer, however many callbacks pass.
    m_sound.SetDeviceTick([heard](std::size_t) { ++heard->callbacks; });
    ASSERT_TRUE(eventually([&] { return heard->callbacks >= 5; }));
    EXPECT_EQ(played().size(), atTheStop.size());
    EXPECT_EQ(m_sound.GetGap(), 0U);
}

TEST_F(Sound, GainRisesToTheTargetAfterAStartAndDropsToSilenceAtTheStop) {
    m_sound.SetVolume(100);
    const std::vector<unsigned char> block(16000, 0);
    ASSERT_EQ(m_sound.SetAudioBuffer(block.data(), 16000, 1), 1);
    // The feeding thread raises the level step by step; it never falls back while it rises.
    std::vector<int> levels{m_sound.CurrentVolume()};
    ASSERT_TRUE(eventually([&] {
        levels.push_back(m_sound.CurrentVolume());
        return levels.back() == 0;
    }));
    EXPECT_EQ(levels.front(), -10000);
    EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
    EXPECT_EQ(m_sound.PlayStop(), 1);
    EXPECT_EQ(m_sound.CurrentVolume(), -10000);
    EXPECT_EQ(m_sound.GetVolume(), 0);
    EXPECT_EQ(m_sound.GetGap(), 0U);
}

// The viewer's append with start and a stop (the viewer's own, or the feeding thread's when the
// queue runs dry) from two threads at once: whichever comes first, the output must not say it is
// playing while its device is stopped (sound would stay off until the next pause), nor the other
// way round. In every other round the append waits until the stop has begun, so that it falls
// within the stop however the threads are scheduled.
TEST_F(Sound, AStartAndAStopAtOnceLeaveThePlayingFlagAndTheDeviceAgreeing) {
    const std::vector<unsigned char> block(1600, 0);
    int disagreements = 0;
    int playingAfter = 0;
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(m_sound.SetAudioBuffer(block.data(), 1600, 1), 1);
        ASSERT_EQ(m_sound.IsPlaying(), 1);
        const bool afterTheStopBegan = round % 2 == 1;
        std::latch ready(2);
        std::thread stopper([&] {
            ready.arrive_and_wait();
            m_sound.PlayStop();
        });
        std::thread starter([&] {
            ready.arrive_and_wait();
            while (afterTheStopBegan && m_sound.IsPlaying() != 0) {
                std::this_thread::yield();
            }
            m_sound.SetAudioBuffer(block.data(), 1600, 1);
        });
        stopper.join();
        starter.join();
        const bool playing = m_sound.IsPlaying() == 1;
        disagreements += playing != m_sound.DeviceRunning() ? 1 : 0;
        playingAfter += playing ? 1 : 0;
        m_sound.PlayStop();
        ASSERT_FALSE(m_sound.DeviceRunning());
    }
    EXPECT_EQ(disagreements, 0) << playingAfter << " of 100 rounds ended playing";
    // A start that follows the stop plays: at least the rounds where the append waited for it.
    EXPECT_GE(playingAfter, 50);
}

TEST_F(Sound, ANewBufferStartsStopped) {
    const std::vector<unsigned char> block(1600, 0);
    ASSERT_EQ(m_sound.SetAudioBuffer(block.data(), 1600, 1), 1);
    ASSERT_EQ(m_sound.IsPlaying(), 1);
    const auto format = pcm(16000);
    ASSERT_EQ(m_sound.CreateDSBuffer(&format, 1, 500), 1);
    EXPECT_EQ(m_sound.IsPlaying(), 0);
    EXPECT_FALSE(m_sound.DeviceRunning());
    EXPECT_EQ(m_sound.GetGap(), 0U);
}

// A driver that does not exist stands for a machine without sound: no device opens.
class NoSoundDevice : public testing::Test {
protected:
    void SetUp() override { ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1); }
    void TearDown() override { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }
};

TEST_F(NoSoundDevice, CreateDxSoundAnswers0AndTheOutputRefusesQuietly) {
    CDxSoundEx sound;
    EXPECT_EQ(sound.CreateDxSound(nullptr), 0);
    const auto format = pcm(8000);
    EXPECT_EQ(sound.CreateDSBuffer(&format, 1, 500), 0);
    EXPECT_EQ(sound.IsCreateDSBuffer(), 0);
    const std::vector<unsigned char> block(1600, 0);
    EXPECT_EQ(sound.SetAudioBuffer(block.data(), 1600, 1), 0);
    EXPECT_EQ(sound.IsPlaying(), 0);
    EXPECT_EQ(sound.PlayStop(), 1);
    EXPECT_EQ(sound.SetVolume(50), 1);
    EXPECT_EQ(sound.GetVolume(), -1);
    // As the viewer feeds it: no buffer can be made, which the viewer remembers for the format.
    EXPECT_EQ(FeedSoundBlock(sound, {1, 8000, 16}, block.data(), 1600, 1), -1);
    EXPECT_EQ(sound.DeleteDxSound(), 1);
}
