#include "audio/sound/CDxSoundEx.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
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

class Sound : public testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // consumes at the real-time rate, no card needed
        ASSERT_EQ(m_sound.CreateDxSound(nullptr), 1);
        const auto format = pcm(8000);
        ASSERT_EQ(m_sound.CreateDSBuffer(&format, 1, 500), 1);
    }

    CDxSoundEx m_sound;
};

} // namespace

TEST_F(Sound, SizesTheBufferAndThresholdFromTheFormat) {
    EXPECT_EQ(m_sound.BufferSize(), 32000U);      // two seconds of 8 kHz 16-bit mono
    EXPECT_EQ(m_sound.GetGapThreshold(), 8000U);  // half a second
    EXPECT_EQ(m_sound.IsCreateDSBuffer(), 1);
    const auto same = pcm(8000);
    const auto other = pcm(16000);
    EXPECT_EQ(m_sound.CompareFormat(&same, 1, 256), 0);  // the buffer is kept
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
    CDxSoundEx without;
    EXPECT_EQ(without.SetAudioBuffer(block.data(), 10, 1), 0);  // no buffer: refused
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

TEST_F(Sound, VolumeAndMute) {
    EXPECT_EQ(m_sound.GetVolume(), 0);  // a new buffer is silent
    m_sound.SetVolume(100);
    EXPECT_EQ(m_sound.GetVolume(), 100);
    m_sound.SetVolume(10);
    EXPECT_EQ(m_sound.GetVolume(), 10);
    m_sound.SetMute(1);
    EXPECT_EQ(m_sound.GetVolume(), 0);
    m_sound.SetVolume(100);  // ignored while muted
    m_sound.SetMute(0);
    EXPECT_EQ(m_sound.GetVolume(), 10);
}

TEST_F(Sound, PacedToneIsPlayedInOrderAndFadesIn) {
    std::mutex mutex;
    std::vector<unsigned char> played;
    m_sound.SetTap([&](const std::uint8_t* bytes, std::size_t size) {
        const std::lock_guard<std::mutex> guard(mutex);
        played.insert(played.end(), bytes, bytes + size);
    });
    m_sound.SetVolume(100);
    // Two seconds of a 440 Hz tone, appended in 100 ms blocks as the viewer paces them.
    std::vector<unsigned char> tone;
    for (int i = 0; i < 16000; ++i) {
        const auto sample = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 8000.0));
        tone.push_back(static_cast<unsigned char>(sample & 0xFF));
        tone.push_back(static_cast<unsigned char>((sample >> 8) & 0xFF));
    }
    bool sawFade = false;
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t offset = 0; offset < tone.size(); offset += 1600) {
        while (m_sound.IsPlaying() != 0 && m_sound.GetGap() >= m_sound.GetGapThreshold()) {
            std::this_thread::sleep_for(5ms);
        }
        ASSERT_EQ(m_sound.SetAudioBuffer(tone.data() + offset, 1600, 1), 1);
        const int level = m_sound.CurrentVolume();
        sawFade = sawFade || (level > -10000 && level < 0);
    }
    ASSERT_LT(std::chrono::steady_clock::now() - started, 5s);
    // The queue runs dry: playback stops with a quarter of the threshold (2,000 bytes) left.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (m_sound.IsPlaying() != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(m_sound.IsPlaying(), 0);
    EXPECT_TRUE(sawFade);
    // The stop silences the buffer at once and halts it 20 ms later.
    std::this_thread::sleep_for(50ms);
    const std::lock_guard<std::mutex> guard(mutex);
    ASSERT_GE(played.size(), tone.size() - 2000 - 1);
    const std::size_t compared = std::min(played.size(), tone.size());
    EXPECT_TRUE(std::equal(played.begin(), played.begin() + static_cast<long>(compared), tone.begin()));
    // After the stop nothing more is taken from the buffer: silence.
    const std::size_t after = played.size();
    mutex.unlock();
    std::this_thread::sleep_for(100ms);
    mutex.lock();
    EXPECT_EQ(played.size(), after);
}

TEST_F(Sound, GainRisesToTheTargetWithin200Milliseconds) {
    m_sound.SetVolume(100);
    const std::vector<unsigned char> block(16000, 0);
    ASSERT_EQ(m_sound.SetAudioBuffer(block.data(), 16000, 1), 1);
    EXPECT_LE(m_sound.CurrentVolume(), -9000);
    std::this_thread::sleep_for(100ms);
    const int halfway = m_sound.CurrentVolume();
    EXPECT_GT(halfway, -10000);
    EXPECT_LT(halfway, 0);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(m_sound.CurrentVolume(), 0);
    EXPECT_EQ(m_sound.PlayStop(), 1);
    EXPECT_EQ(m_sound.CurrentVolume(), -10000);
    EXPECT_EQ(m_sound.GetGap(), 0U);
}
