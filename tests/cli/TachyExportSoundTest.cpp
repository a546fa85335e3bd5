// tachy export over spans whose front camera has gaps in its sound: a recording without sound
// between two with sound, a recording missing between them, and a recording whose sound ends
// halfway through its pictures. The sound track fills each gap with silence, so ffprobe finds
// it as long as the pictures and the sound after the gap starts at its own time, found in
// ffmpeg's decoding of the MP4 as the first loud hundredth of a second after the silence.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

using tachy::test::RunShell;
using tachy::test::RunTachy;
using tachy::test::TempFolder;

namespace {

constexpr int kRate = 8000;
constexpr int kWindow = kRate / 100; // samples in a hundredth of a second
// 13:05:14 to 13:05:34 over recordings of 13:05:09, 13:05:19 and 13:05:29: the middle
// recording is heard from 5 s to 15 s of the export.
const char* const kFrom = "2024-02-29 13:05:14";
const char* const kTo = "2024-02-29 13:05:34";
constexpr double kSpanSeconds = 20;
constexpr double kAfterGapSeconds = 15; // 13:05:29

// A card of one camera with sound: 30 seconds in three 10-second recordings.
void MakeCard(const std::filesystem::path& card, mkcard::CardOptions::Audio audio) {
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
    options.out = card;
    options.width = 64;
    options.height = 48;
    options.framesPerSecond = 10;
    options.keyInterval = 10;
    options.seconds = 30;
    options.periodSeconds = 10;
    options.audio = audio;
    options.audioRate = kRate;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
}

// The card's recordings in time order.
std::vector<std::filesystem::path> Recordings(const std::filesystem::path& card) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(card / "normal")) {
        if (entry.path().extension() == ".avi") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

double Duration(const std::string& file, const std::string& stream) {
    const auto run = RunShell("ffprobe -v error -select_streams " + stream +
                              " -show_entries stream=duration -of csv=p=0 '" + file + "'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return std::atof(run.out.c_str());
}

// The loudness (root mean square of 16-bit samples) of each hundredth of a second of the
// file's sound, decoded by ffmpeg.
std::vector<double> Loudness(const std::string& file) {
    const auto run = RunShell("ffmpeg -v error -i '" + file + "' -map 0:a -f s16le -ac 1 -ar " +
                              std::to_string(kRate) + " -");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<double> windows;
    const std::size_t samples = run.out.size() / 2;
    for (std::size_t start = 0; start + kWindow <= samples; start += kWindow) {
        double sum = 0;
        for (std::size_t i = start; i < start + kWindow; ++i) {
            std::int16_t value = 0;
            std::memcpy(&value, run.out.data() + 2 * i, 2);
            sum += static_cast<double>(value) * value;
        }
        windows.push_back(std::sqrt(sum / kWindow));
    }
    return windows;
}

class TachyExportSound : public testing::Test {
protected:
    void SetUp() override {
        m_card = m_work.path() / "card";
        MakeCard(m_card, mkcard::CardOptions::Audio::MuLaw);
    }

    // Exports the span; the sound must be silent from `quietFrom` seconds until the third
    // recording's sound starts at 15 s, and loud before and after.
    void ExpectSilenceUntilTheThirdRecording(double quietFrom) {
        const std::string out = (m_work.path() / "out.mp4").string();
        const auto run = RunTachy({"export", m_card.string(), "--from", kFrom, "--to", kTo, out});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(" with sound, "), std::string::npos) << run.out;
        // As long as the pictures, within two pictures (the sound encoder's last frame rounds
        // the sound up to a multiple of 1024 samples).
        EXPECT_NEAR(Duration(out, "v:0"), kSpanSeconds, 0.15);
        EXPECT_NEAR(Duration(out, "a:0"), Duration(out, "v:0"), 0.2);

        const std::vector<double> loudness = Loudness(out);
        ASSERT_GT(loudness.size(), static_cast<std::size_t>(19.5 * 100));
        const auto at = [](double seconds) { return static_cast<std::size_t>(seconds * 100); };
        EXPECT_GT(
            *std::min_element(loudness.begin() + at(0.3), loudness.begin() + at(quietFrom - 0.3)),
            1000.0);
        EXPECT_LT(*std::max_element(loudness.begin() + at(quietFrom + 0.3),
                                    loudness.begin() + at(kAfterGapSeconds - 0.3)),
                  100.0);
        const auto loud = std::find_if(loudness.begin() + at(quietFrom + 0.3), loudness.end(),
                                       [](double value) { return value > 1000.0; });
        ASSERT_NE(loud, loudness.end());
        const double onset = static_cast<double>(loud - loudness.begin()) / 100;
        EXPECT_NEAR(onset, kAfterGapSeconds, 0.05);
        EXPECT_GT(*std::min_element(loudness.begin() + at(kAfterGapSeconds + 0.3),
                                    loudness.begin() + at(kSpanSeconds - 0.3)),
                  1000.0);
    }

    TempFolder m_work;
    std::filesystem::path m_card;
};

} // namespace

TEST_F(TachyExportSound, ARecordingWithoutSoundIsSilentAndTheNextIsInStep) {
    const auto silent = m_work.path() / "silent";
    MakeCard(silent, mkcard::CardOptions::Audio::None);
    std::filesystem::copy_file(Recordings(silent)[1], Recordings(m_card)[1],
                               std::filesystem::copy_options::overwrite_existing);
    ExpectSilenceUntilTheThirdRecording(5);
}

TEST_F(TachyExportSound, AMissingRecordingIsSilentAndTheNextIsInStep) {
    std::filesystem::remove(Recordings(m_card)[1]);
    ExpectSilenceUntilTheThirdRecording(5);
}

TEST_F(TachyExportSound, SoundShorterThanItsPicturesEndsInSilence) {
    // The middle recording's pictures as they are, its sound cut to its first 5 seconds.
    const auto middle = Recordings(m_card)[1];
    const auto cut = m_work.path() / "cut.avi";
    const auto run = RunShell("ffmpeg -v error -i '" + middle.string() +
                              "' -map 0:v -map 0:a -c:v copy -af atrim=end=5 -c:a pcm_mulaw '" +
                              cut.string() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::filesystem::copy_file(cut, middle, std::filesystem::copy_options::overwrite_existing);
    ExpectSilenceUntilTheThirdRecording(10);
}

TEST_F(TachyExportSound, SoundOnlyFromTheSecondRecordingStartsAtItsTime) {
    const auto silent = m_work.path() / "silent";
    MakeCard(silent, mkcard::CardOptions::Audio::None);
    std::filesystem::copy_file(Recordings(silent)[0], Recordings(m_card)[0],
                               std::filesystem::copy_options::overwrite_existing);
    const std::string out = (m_work.path() / "out.mp4").string();
    const auto run = RunTachy({"export", m_card.string(), "--from", kFrom, "--to", kTo, out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(" with sound, "), std::string::npos) << run.out;
    EXPECT_NEAR(Duration(out, "a:0"), Duration(out, "v:0"), 0.2);
    const std::vector<double> loudness = Loudness(out);
    const auto loud =
        std::find_if(loudness.begin(), loudness.end(), [](double value) { return value > 1000.0; });
    ASSERT_NE(loud, loudness.end());
    EXPECT_NEAR(static_cast<double>(loud - loudness.begin()) / 100, 5.0, 0.05);
}
