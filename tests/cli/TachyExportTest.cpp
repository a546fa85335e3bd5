// tachy export: the cameras of a span combined into one H.264/AAC MP4, judged by ffprobe
// (streams, picture size per layout, duration, picture count) and by ffmpeg decoding an
// exported picture and comparing each camera's place with that camera's own picture.

#include "tests/cli/ToolRun.h"
#include "tests/support/TempFolder.h"
#include "tools/mkcard/CardGenerator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using tachy::test::RunShell;
using tachy::test::RunTachy;
using tachy::test::TempFolder;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
// 13:05:20 to 13:05:28 at 10 pictures per second, across the card's two recordings.
const char* const kFrom = "2024-02-29 13:05:20";
const char* const kTo = "2024-02-29 13:05:28";
constexpr int kPictures = 80;

struct Region {
    int x, y, width, height;
};

class TachyExport : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = new TempFolder;
        mkcard::CardOptions options;
        options.rule = std::string(TACHY_DATA_DIR) + "/_option/FileNameRule_A.ini";
        options.out = s_folder->path() / "card";
        options.channels = 3;
        options.width = kWidth;
        options.height = kHeight;
        options.framesPerSecond = 10;
        options.keyInterval = 10;
        options.seconds = 30;
        options.periodSeconds = 15;
        std::string error;
        ASSERT_TRUE(mkcard::generateCard(options, error)) << error;
    }
    static void TearDownTestSuite() {
        delete s_folder;
        s_folder = nullptr;
    }
    static std::string Card() { return (s_folder->path() / "card").string(); }
    // Camera `camera` (1-3) of the recording that starts at 13:05:24.
    static std::string SecondRecording(int camera) {
        return Card() + "/normal/TCY_0002_20240229_130524_N_" + std::to_string(camera) + ".avi";
    }

    std::string Export(const std::string& layout, std::vector<std::string> more = {}) {
        const std::string out = (m_work.path() / (layout + ".mp4")).string();
        std::vector<std::string> words = {"export", Card(),     "--from", kFrom, "--to",
                                          kTo,      "--layout", layout,   out};
        words.insert(words.end(), more.begin(), more.end());
        const auto run = RunTachy(words);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out + ".part"));
        return out;
    }

    // "codec_type,codec_name,width,height,frames" per stream and the duration in seconds.
    static std::string Streams(const std::string& file) {
        const auto run =
            RunShell("ffprobe -v error -count_frames -show_entries "
                     "stream=codec_type,codec_name,width,height,pix_fmt,nb_read_frames "
                     "-of csv=p=0 '" +
                     file + "'");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }
    static double Duration(const std::string& file, const std::string& stream) {
        // The stream's own duration: the sound's last encoder frame may run a little longer.
        const auto run = RunShell("ffprobe -v error -select_streams " + stream +
                                  " -show_entries stream=duration -of csv=p=0 '" + file + "'");
        return std::atof(run.out.c_str());
    }

    // A gray picture decoded by ffmpeg: picture `index` of `file`'s first video stream, scaled
    // to `width` x `height` when given.
    static std::string Gray(const std::string& file, int index, int width = 0, int height = 0) {
        std::string filter = "select=eq(n\\," + std::to_string(index) + ")";
        if (width > 0) {
            filter += ",scale=" + std::to_string(width) + ":" + std::to_string(height);
        }
        const auto run = RunShell("ffmpeg -v error -i '" + file + "' -map 0:v:0 -vf '" + filter +
                                  "' -frames:v 1 -f rawvideo -pix_fmt gray -");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }
    // Mean absolute difference between `region` of a `stride`-wide gray picture and `source`.
    static double Difference(const std::string& picture, int stride, const Region& region,
                             const std::string& source) {
        if (source.size() != static_cast<std::size_t>(region.width * region.height) ||
            picture.size() < static_cast<std::size_t>((region.y + region.height) * stride)) {
            ADD_FAILURE() << "picture sizes " << picture.size() << " and " << source.size();
            return 255;
        }
        double sum = 0;
        for (int y = 0; y < region.height; ++y) {
            for (int x = 0; x < region.width; ++x) {
                const auto a = static_cast<unsigned char>(
                    picture[static_cast<std::size_t>((region.y + y) * stride + region.x + x)]);
                const auto b = static_cast<unsigned char>(
                    source[static_cast<std::size_t>(y * region.width + x)]);
                sum += std::abs(a - b);
            }
        }
        return sum / (region.width * region.height);
    }

    // `region` of a `stride`-wide gray picture, row after row.
    static std::string Crop(const std::string& picture, int stride, const Region& region) {
        std::string rows;
        if (picture.size() < static_cast<std::size_t>((region.y + region.height) * stride)) {
            return rows;
        }
        for (int y = region.y; y < region.y + region.height; ++y) {
            rows += picture.substr(static_cast<std::size_t>(y * stride + region.x),
                                   static_cast<std::size_t>(region.width));
        }
        return rows;
    }

    // Each camera's place in picture 50 (13:05:25.0) holds that camera's picture of 13:05:25.0
    // (picture 10 of the second recording) and not another camera's.
    static void ExpectCameras(const std::string& out, int stride,
                              const std::vector<Region>& regions) {
        const std::string exported = Gray(out, 50);
        for (std::size_t camera = 0; camera < regions.size(); ++camera) {
            const Region& region = regions[camera];
            for (std::size_t other = 0; other < regions.size(); ++other) {
                const std::string source = Gray(SecondRecording(static_cast<int>(other) + 1), 10,
                                                region.width, region.height);
                const double difference = Difference(exported, stride, region, source);
                if (other == camera) {
                    EXPECT_LT(difference, 8.0) << "camera " << camera + 1;
                } else {
                    EXPECT_GT(difference, 16.0)
                        << "camera " << camera + 1 << " shows " << other + 1;
                }
            }
        }
    }

    static TempFolder* s_folder;
    TempFolder m_work;
};

TempFolder* TachyExport::s_folder = nullptr;

} // namespace

TEST_F(TachyExport, EachLayoutInRealTimeWithTheFrontCamerasSound) {
    struct Case {
        const char* layout;
        int width;
        int height;
        std::vector<Region> regions;
    };
    const std::vector<Case> cases = {
        {"front", 64, 48, {{0, 0, 64, 48}}},
        {"side-by-side", 192, 48, {{0, 0, 64, 48}, {64, 0, 64, 48}, {128, 0, 64, 48}}},
        {"grid", 128, 96, {{0, 0, 64, 48}, {64, 0, 64, 48}, {0, 48, 64, 48}}},
        {"pip", 64, 48, {}}, // its places: below
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        const std::string out = Export(c.layout);
        const std::string streams = Streams(out);
        EXPECT_EQ(streams.substr(0, streams.find('\n')),
                  "h264,video," + std::to_string(c.width) + "," + std::to_string(c.height) +
                      ",yuv420p," + std::to_string(kPictures))
            << streams;
        EXPECT_NE(streams.find("\naac,audio"), std::string::npos) << streams;
        // Real time: the span's 8 seconds, within one picture.
        EXPECT_NEAR(Duration(out, "v:0"), 8.0, 0.1);
        ExpectCameras(out, c.width, c.regions);
    }
}

TEST_F(TachyExport, PictureInPictureShowsTheRearCameraInTheCorner) {
    const std::string out = Export("pip");
    const std::string exported = Gray(out, 50);
    // The rear camera a third of the size, 2 pixels from the bottom right corner.
    const Region inset{42, 30, 20, 16};
    EXPECT_LT(Difference(exported, kWidth, inset, Gray(SecondRecording(2), 10, 20, 16)), 10.0);
    EXPECT_GT(Difference(exported, kWidth, inset, Gray(SecondRecording(1), 10, 20, 16)), 16.0);
    // Above the inset, the front camera.
    const Region top{0, 0, 64, 24};
    const std::string front = Gray(SecondRecording(1), 10);
    EXPECT_LT(Difference(exported, kWidth, top, front.substr(0, 64 * 24)), 8.0);
}

TEST_F(TachyExport, HeightScalesEachCamerasPlace) {
    const std::string out = Export("side-by-side", {"--height", "96"});
    const std::string streams = Streams(out);
    EXPECT_EQ(streams.substr(0, streams.find('\n')), "h264,video,384,96,yuv420p,80") << streams;
    ExpectCameras(out, 384, {{0, 0, 128, 96}, {128, 0, 128, 96}, {256, 0, 128, 96}});
}

TEST_F(TachyExport, ProgressWithTheTimeLeft) {
    const auto out = (m_work.path() / "p.mp4").string();
    const auto run = RunTachy({"export", Card(), "--from", kFrom, "--to", kTo, out, "--progress"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("exporting: 50% (4 s of 8 s), about "), std::string::npos) << run.err;
    EXPECT_EQ(run.out, out + ": 80 pictures of 64x48 with sound, 2024-02-29T13:05:20.000Z to "
                             "2024-02-29T13:05:28.000Z\n");
}

TEST_F(TachyExport, AFailureLeavesNoFileAndKeepsAnOldOne) {
    const auto out = m_work.path() / "old.mp4";
    { std::ofstream(out) << "the file of an earlier export"; }
    const auto empty = RunTachy({"export", Card(), "--from", "2025-01-01 00:00:00", "--to",
                                 "2025-01-01 00:01:00", out.string()});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("tachy export: "), std::string::npos);
    EXPECT_EQ(tachy::test::Snapshot(m_work.path()).size(), 1U);
    std::ifstream in(out);
    std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "the file of an earlier export");
    // A target that cannot be written: nothing is left beside it.
    const auto missing = m_work.path() / "no-such-folder" / "out.mp4";
    EXPECT_EQ(RunTachy({"export", Card(), "--from", kFrom, "--to", kTo, missing.string()}).exitCode,
              1);
    // A folder in the target's place stays a folder, and no temporary file is left.
    const auto folder = m_work.path() / "folder.mp4";
    std::filesystem::create_directory(folder);
    EXPECT_EQ(RunTachy({"export", Card(), "--from", kFrom, "--to", kTo, folder.string()}).exitCode,
              1);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(std::filesystem::exists(folder.string() + ".part"));
    // Wrong command lines.
    for (const std::vector<std::string>& words : {std::vector<std::string>{"--layout", "mosaic"},
                                                  {"--height", "-4"},
                                                  {"--height", "tall"}}) {
        std::vector<std::string> all = {
            "export", Card(), "--from", kFrom, "--to", kTo, (m_work.path() / "x.mp4").string()};
        all.insert(all.end(), words.begin(), words.end());
        EXPECT_EQ(RunTachy(all).exitCode, 2) << words[0] << " " << words[1];
    }
    EXPECT_EQ(RunTachy({"export", Card(), "--from", kTo, "--to", kFrom,
                        (m_work.path() / "x.mp4").string()})
                  .exitCode,
              2);
    EXPECT_FALSE(std::filesystem::exists(m_work.path() / "x.mp4"));
}

TEST_F(TachyExport, OverlayDrawsTheTimeAlongTheBottomEdge) {
    // 320x240: one picture pixel a font pixel (a line of 50 characters fits 320 pixels only so),
    // a band of 9 rows at the bottom.
    const std::string out = Export("front", {"--height", "240", "--overlay"});
    const std::string at25 = Gray(out, 50);
    const std::string at20 = Gray(out, 0);
    ASSERT_EQ(at25.size(), 320U * 240U);
    const Region band{0, 231, 240, 9};
    int bright = 0;
    int dark = 0;
    for (int y = band.y; y < band.y + band.height; ++y) {
        for (int x = 0; x < band.width; ++x) {
            const auto value =
                static_cast<unsigned char>(at25[static_cast<std::size_t>(y * 320 + x)]);
            bright += value > 180 ? 1 : 0;
            dark += value < 40 ? 1 : 0;
        }
    }
    EXPECT_GT(bright, 100);
    EXPECT_GT(dark, 1000);
    // The seconds of the time differ between 13:05:20 and 13:05:25.
    EXPECT_GT(Difference(at20, 320, band, Crop(at25, 320, band)), 1.0);
    // Above the band, the camera's picture.
    const Region above{0, 0, 320, 200};
    EXPECT_LT(
        Difference(at25, 320, above, Gray(SecondRecording(1), 10, 320, 240).substr(0, 320 * 200)),
        8.0);
}
