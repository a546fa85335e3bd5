// tachy clip: a span of recordings copied into one AVI, judged by ffprobe and ffmpeg (frames,
// key frame first, clean decode) and by the tool's own readers for the driving data's step.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>

using tachy::test::RunShell;
using tachy::test::RunTachy;
using tachy::test::TempFolder;

namespace {

class TachyClip : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        tachy::test::MakeDriveCard(s_folder->path() / "card", 72);
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }
    static std::string Card() { return (s_folder->path() / "card").string(); }

    // Stream type and the frames ffprobe decodes in it, one line per stream.
    static std::string Frames(const std::string& clip) {
        const auto run = RunShell(
            "ffprobe -v error -count_frames -show_entries stream=codec_type,nb_read_frames "
            "-of csv=p=0 '" +
            clip + "'");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }
    static void ExpectCleanDecode(const std::string& clip) {
        const auto run = RunShell("ffmpeg -v error -i '" + clip + "' -f null -");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, "");
    }

    static TempFolder* s_folder;
    TempFolder m_work;
};

TempFolder* TachyClip::s_folder = nullptr;

} // namespace

TEST_F(TachyClip, StartsAtTheKeyFrameBeforeTheSpanAndDecodes) {
    const std::string clip = (m_work.path() / "clip.avi").string();
    // Key frames every second: 13:05:31.5 starts the clip at 13:05:31.
    const auto run = RunTachy(
        {"clip", Card(), "--from", "2024-02-29 13:05:31.500", "--to", "2024-02-29 13:05:50", clip});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, clip + ": 190 frames from 2024-02-29T13:05:31.000Z (a key frame) to "
                              "2024-02-29T13:05:50.000Z\n");
    EXPECT_EQ(Frames(clip), "video,190\nsubtitle,N/A\naudio,190\n");
    const auto first =
        RunShell("ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 '" +
                 clip + "'");
    EXPECT_EQ(first.out.substr(0, 3), "K_\n");
    ExpectCleanDecode(clip);
    // The driving data runs with the pictures: record n is the record of frame n.
    const auto track = RunTachy({"track", clip, "--format", "csv"});
    ASSERT_EQ(track.exitCode, 0) << track.err;
    EXPECT_NE(track.out.find("\n2024-02-29T13:05:31.000Z,clip.avi,"), std::string::npos);
    EXPECT_NE(track.out.find("\n2024-02-29T13:05:49.900Z,clip.avi,"), std::string::npos);
    const auto info = RunTachy({"info", clip});
    EXPECT_NE(info.out.find("driving data: gps 190\n"), std::string::npos) << info.out;
}

TEST_F(TachyClip, ASpanAcrossRecordingsIsOneClip) {
    const std::string clip = (m_work.path() / "long.avi").string();
    const auto run = RunTachy({"clip", Card(), "--from", "2024-02-29 13:05:30", "--to",
                               "2024-02-29 13:06:20", clip, "--progress"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("copying recordings: 3/3"), std::string::npos) << run.err;
    EXPECT_EQ(Frames(clip), "video,500\nsubtitle,N/A\naudio,500\n");
    ExpectCleanDecode(clip);
    // The hard brake of the middle recording is in the clip where it was on the card.
    const auto events = RunTachy({"events", clip});
    EXPECT_EQ(events.out.rfind("2024-02-29 13:05:46.", 0), 0U) << events.out;
}

TEST_F(TachyClip, SpansWithoutRecordingsAndWrongTimes) {
    const std::string clip = (m_work.path() / "none.avi").string();
    const auto empty = RunTachy(
        {"clip", Card(), "--from", "2025-01-01 00:00:00", "--to", "2025-01-01 00:01:00", clip});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(clip));
    EXPECT_FALSE(std::filesystem::exists(clip + ".part"));
    EXPECT_EQ(RunTachy({"clip", Card(), "--from", "2024-02-29 13:05:50", "--to",
                        "2024-02-29 13:05:40", clip})
                  .exitCode,
              2);
    EXPECT_EQ(
        RunTachy({"clip", Card(), "--from", "noon", "--to", "2024-02-29 13:05:40", clip}).exitCode,
        2);
    EXPECT_EQ(RunTachy({"clip", Card(), "--from", "2024-02-29 13:05:30", "--to",
                        "2024-02-29 13:05:40", clip, "--channel", "4"})
                  .exitCode,
              2);
}

TEST_F(TachyClip, TimesTakeFractionsOfASecondAndOnlyTheirOwnForm) {
    const std::string clip = (m_work.path() / "fraction.avi").string();
    // ".5" is half a second and ".25" a quarter, not 5 and 25 milliseconds.
    const auto run = RunTachy({"clip", Card(), "--from", "2024-02-29 13:05:31.5", "--to",
                               "2024-02-29T13:05:50.25Z", clip});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, clip + ": 193 frames from 2024-02-29T13:05:31.000Z (a key frame) to "
                              "2024-02-29T13:05:50.250Z\n");
    for (const char* const wrong :
         {"2024- 2-29 13:05:31", "+2024-02-29 13:05:31", "2024-02-29 13:05:31.-5",
          "2024-02-29 13:05:31.1234", "2024-02-29 13:05:31.", "2024-02-29 13:05:31Z.5",
          "2023-02-29 13:05:31", "2024-02-29 24:00:00"}) {
        EXPECT_EQ(RunTachy({"clip", Card(), "--from", wrong, "--to", "2024-02-29 13:06:00",
                            (m_work.path() / "wrong.avi").string()})
                      .exitCode,
                  2)
            << wrong;
    }
}

TEST_F(TachyClip, TheRearCameraToo) {
    const std::string clip = (m_work.path() / "rear.avi").string();
    const auto run = RunTachy({"clip", Card(), "--from", "2024-02-29 13:05:12", "--to",
                               "2024-02-29 13:05:14", clip, "--channel", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Frames(clip), "video,20\nsubtitle,N/A\naudio,20\n");
    ExpectCleanDecode(clip);
}

TEST_F(TachyClip, EachCameraOfFilesThatHoldEveryCamera) {
    mkcard::CardOptions options;
    options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_C.ini";
    options.out = m_work.path() / "av2";
    options.av2 = true;
    options.channels = 2;
    options.width = 64;
    options.height = 48;
    options.framesPerSecond = 10;
    options.keyInterval = 10;
    options.seconds = 10;
    options.periodSeconds = 10;
    std::string error;
    ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    const std::string source =
        (m_work.path() / "av2" / "normal" / "CARDV_20240229_130509_00001_N_D.av2").string();
    ASSERT_TRUE(std::filesystem::exists(source));
    for (const int channel : {1, 2}) {
        const std::string clip =
            (m_work.path() / ("camera" + std::to_string(channel) + ".avi")).string();
        const auto run =
            RunTachy({"clip", (m_work.path() / "av2").string(), "--from", "2024-02-29 13:05:12",
                      "--to", "2024-02-29 13:05:14", clip, "--channel", std::to_string(channel)});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ExpectCleanDecode(clip);
        // The clip's first picture is the camera's picture at 13:05:12 (frame 30) in the source.
        const auto copied = RunShell("ffmpeg -v error -i '" + clip +
                                     "' -frames:v 1 -f rawvideo -pix_fmt gray - | md5sum");
        const auto original =
            RunShell("ffmpeg -v error -i '" + source + "' -map 0:v:" + std::to_string(channel - 1) +
                     " -vf 'select=eq(n\\,30)' -frames:v 1 -f rawvideo -pix_fmt gray - | md5sum");
        EXPECT_EQ(copied.out, original.out) << "camera " << channel;
        EXPECT_NE(copied.out, "d41d8cd98f00b204e9800998ecf8427e  -\n"); // not the sum of nothing
    }
}
