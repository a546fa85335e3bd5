// The sample-card generator, run as users run it, and its cards checked with tools we did not
// write (ffprobe, ffmpeg) and with our parsers.

#include "tools/mkcard/DriveSimulator.h"
#include "util/avi/CAviParser2.h"
#include "util/naming/AviNameFormat.h"

#include "platform/process/Process.h"
#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace std::chrono_literals;
using tachy::test::readAll;
using tachy::test::TempFolder;

namespace {

const std::string kRules = std::string(TACHY_DATA_DIR) + "/_option/";

int runMkcard(const std::vector<std::string>& arguments) {
    tachy::Process mkcard;
    if (!mkcard.start(TACHY_MKCARD, arguments)) {
        return -1;
    }
    EXPECT_EQ(mkcard.wait(120s), tachy::Process::WaitResult::Exited);
    return mkcard.exitCode();
}

// "codec_type,codec_name,packets" per stream, as ffprobe counts them.
std::string probeStreams(const std::string& path) {
    bool ok = false;
    const std::string output = tachy::test::runCommand("ffprobe -v error -count_packets -show_entries "
                                       "stream=codec_type,codec_name,nb_read_packets -of csv=p=0 '" +
                                       path + "' 2>&1", &ok);
    EXPECT_TRUE(ok) << output;
    return output;
}

int probeKeyFrames(const std::string& path, int stream) {
    bool ok = false;
    const std::string output = tachy::test::runCommand("ffprobe -v error -select_streams v:" + std::to_string(stream) +
                                       " -show_entries packet=flags -of csv=p=0 '" + path + "'", &ok);
    EXPECT_TRUE(ok);
    int keys = 0;
    for (std::size_t at = output.find('K'); at != std::string::npos; at = output.find('K', at + 1)) {
        ++keys;
    }
    return keys;
}

void expectDecodesCleanly(const std::string& path) {
    bool ok = false;
    const std::string errors = tachy::test::runCommand("ffmpeg -v error -i '" + path + "' -map 0:v -f null - 2>&1", &ok);
    EXPECT_TRUE(ok) << path;
    EXPECT_EQ(errors, "") << path;
}

// The video stream's bit rate as ffprobe works it out from the file (bits per second).
double probeVideoBitRate(const std::string& path) {
    bool ok = false;
    const std::string output = tachy::test::runCommand(
        "ffprobe -v error -select_streams v:0 -show_entries stream=bit_rate -of csv=p=0 '" + path +
            "'",
        &ok);
    EXPECT_TRUE(ok) << output;
    return std::atof(output.c_str());
}

// The smallest mean luma difference between consecutive pictures, as ffmpeg's signalstats
// filter measures it (0: two identical pictures).
double smallestPictureChange(const std::string& path) {
    bool ok = false;
    const std::string output =
        tachy::test::runCommand("ffprobe -v error -f lavfi -i 'movie=" + path +
                                    ",signalstats' -show_entries "
                                    "frame_tags=lavfi.signalstats.YDIF -of csv=p=0",
                                &ok);
    EXPECT_TRUE(ok) << output;
    std::istringstream lines(output);
    std::string line;
    double smallest = 1e9;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first && !line.empty()) { // the first picture has none before it
            smallest = std::min(smallest, std::atof(line.c_str()));
        }
        first = false;
    }
    return smallest;
}

std::vector<std::string> manifestPaths(const std::filesystem::path& card) {
    const std::string manifest = readAll(card / "manifest.json");
    std::vector<std::string> paths;
    const std::regex path(R"re("path": "([^"]+)")re");
    for (auto it = std::sregex_iterator(manifest.begin(), manifest.end(), path); it != std::sregex_iterator(); ++it) {
        paths.push_back((card / (*it)[1].str()).string());
    }
    return paths;
}

} // namespace

TEST(Mkcard, ThreeChannelCardThatFfprobeAndFfmpegAccept) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    ASSERT_EQ(runMkcard({"--rule", kRules + "FileNameRule_A.ini", "--out", card.string(), "--channels", "3",
                         "--seconds", "5", "--period", "3", "--size", "160x120", "--modes", "normal,event"}),
              0);
    const auto paths = manifestPaths(card);
    ASSERT_EQ(paths.size(), 6U);  // two periods (3 s and 2 s) of three channels
    EXPECT_EQ(std::filesystem::path(paths[0]).filename(), "TCY_0001_20240229_130509_N_1.avi");
    EXPECT_EQ(std::filesystem::path(paths[5]).filename(), "TCY_0002_20240229_130512_E_3.avi");
    EXPECT_EQ(probeStreams(paths[0]), "h264,video,90\npcm_mulaw,audio,30\nunknown,subtitle,90\n");
    EXPECT_EQ(probeStreams(paths[5]), "h264,video,60\npcm_mulaw,audio,20\nunknown,subtitle,60\n");
    EXPECT_EQ(probeKeyFrames(paths[0], 0), 3);
    for (const auto& path : paths) {
        expectDecodesCleanly(path);
    }
    // Our parser reads what ffprobe counted, and each file's name parses to its channel.
    const auto format = naming::ReadNameFormat(kRules + "FileNameRule_A.ini", 0);
    for (int i = 0; i < 3; ++i) {
        naming::StreamFileName name;
        ASSERT_TRUE(naming::ParseName(format, std::filesystem::path(paths[i]).filename().string(), name));
        EXPECT_EQ(name.channel, i);
        CAviParser2 parser;
        _TAG_STREAM_INFO info{};
        ASSERT_EQ(parser.GetStreamInfo(paths[i], &info, 0), 1);
        EXPECT_EQ(info.dwVideoLength, 90U);
        EXPECT_EQ(info.llVideoDuration, 3000);
    }
}

TEST(Mkcard, RearCamerasMayRecordAtTheirOwnSize) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    ASSERT_EQ(runMkcard({"--rule", kRules + "FileNameRule_A.ini", "--out", card.string(), "--channels", "2",
                         "--seconds", "1", "--size", "192x108", "--rear-size", "128x72"}),
              0);
    const auto paths = manifestPaths(card);
    ASSERT_EQ(paths.size(), 2U);
    const auto size = [](const std::string& path) {
        return tachy::test::runCommand("ffprobe -v error -select_streams v:0 -show_entries stream=width,height "
                                       "-of csv=p=0 '" + path + "'");
    };
    EXPECT_EQ(size(paths[0]), "192,108\n");
    EXPECT_EQ(size(paths[1]), "128,72\n");
    expectDecodesCleanly(paths[1]);
}

TEST(Mkcard, Av2CardWithHevcHoldsEveryChannelInOneFile) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    ASSERT_EQ(runMkcard({"--rule", kRules + "FileNameRule_C.ini", "--out", card.string(), "--channels", "2",
                         "--seconds", "2", "--av2", "--codec", "hevc", "--size", "192x108", "--audio", "pcm",
                         "--audio-rate", "16000", "--record", "400"}),
              0);
    const auto paths = manifestPaths(card);
    ASSERT_EQ(paths.size(), 1U);
    EXPECT_EQ(std::filesystem::path(paths[0]).filename(), "CARDV_20240229_130509_00001_N_D.av2");
    // libavformat cuts PCM chunks into packets of its own size, so only the audio stream's
    // presence is compared.
    EXPECT_TRUE(std::regex_match(probeStreams(paths[0]),
                                 std::regex("hevc,video,60\nhevc,video,60\npcm_s16le,audio,\\d+\nunknown,subtitle,60\n")));
    expectDecodesCleanly(paths[0]);
    CAviParser2 parser;
    ASSERT_EQ(parser.OpenStream(paths[0], 1), 1);
    ASSERT_EQ(parser.OpenVideoStream(1), 1);
    ASSERT_EQ(parser.OpenUserStream(), 1);
    std::uint32_t size = 0;
    const std::uint8_t* record = parser.ReadUserData(30, &size);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(size, 400U);
    std::int32_t marker = 0;
    std::uint32_t second = 0;
    std::memcpy(&marker, record, 4);
    std::memcpy(&second, record + 12, 4);
    EXPECT_EQ(marker, 511);
    EXPECT_EQ(second, 1709211910U);
    const std::string sentence(reinterpret_cast<const char*>(record) + 34);
    EXPECT_TRUE(std::regex_match(sentence, std::regex(R"(\$GPRMC,130510\.000,A,\d{4}\.\d{4},N,\d{5}\.\d{4},E,.*\*[0-9A-F]{2})")))
        << sentence;
}

TEST(Mkcard, DamagedCasesOnRequest) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    ASSERT_EQ(runMkcard({"--rule", kRules + "FileNameRule_B.ini", "--out", card.string(), "--seconds", "4",
                         "--period", "2", "--size", "64x48", "--damage",
                         "cut,preamble,tiny,badname,system_run"}),
              0);
    const auto paths = manifestPaths(card);
    ASSERT_EQ(paths.size(), 2U);
    EXPECT_TRUE(std::filesystem::exists(card / "normal" / "system_run"));
    EXPECT_TRUE(std::filesystem::exists(card / "normal" / "not_a_recording.avi"));
    EXPECT_EQ(readAll(card / "manifest.json").find("\"damage\": \"cut\"") != std::string::npos, true);
    // Foreign bytes before "RIFF" in the first file, and a cut file without idx1: both open.
    EXPECT_EQ(readAll(paths[0]).substr(100, 4), "RIFF");
    for (const auto& path : paths) {
        CAviParser2 parser;
        ASSERT_EQ(parser.OpenStream(path, 0), 1) << path;
        EXPECT_GT(parser.GetVideoLength(), 10);
    }
    std::size_t tiny = 0;
    for (const auto& entry : std::filesystem::directory_iterator(card / "normal")) {
        tiny += entry.file_size() == 15 ? 1 : 0;
    }
    EXPECT_EQ(tiny, 1U);
}

TEST(Mkcard, CameraContentIsEncodedAtARecordersBitRate) {
    const TempFolder folder;
    const auto camera = folder.path() / "camera";
    const auto test = folder.path() / "test";
    const std::string rule = kRules + "FileNameRule_A.ini";
    ASSERT_EQ(runMkcard({"--rule", rule, "--out", camera.string(), "--seconds", "3", "--size",
                         "1280x720", "--content", "camera"}),
              0);
    ASSERT_EQ(
        runMkcard({"--rule", rule, "--out", test.string(), "--seconds", "3", "--size", "1280x720"}),
        0);
    const auto cameraPaths = manifestPaths(camera);
    const auto testPaths = manifestPaths(test);
    ASSERT_EQ(cameraPaths.size(), 1U);
    ASSERT_EQ(testPaths.size(), 1U);
    // About 6 Mbit/s at 720p, as recorders write.
    const double rate = probeVideoBitRate(cameraPaths[0]);
    EXPECT_GT(rate, 4e6);
    EXPECT_LT(rate, 8e6);
    // The street scene costs far more than the test picture: its pictures are not near copies
    // of each other, and noise alone (about 1.6) would not make them this different.
    EXPECT_GT(rate, 2.5 * probeVideoBitRate(testPaths[0]));
    EXPECT_GT(smallestPictureChange(cameraPaths[0]), 5.0);
    EXPECT_EQ(probeStreams(cameraPaths[0]),
              "h264,video,90\npcm_mulaw,audio,30\nunknown,subtitle,90\n");
    expectDecodesCleanly(cameraPaths[0]);
}

TEST(Mkcard, CameraContentDependsOnlyOnTheSeed) {
    const TempFolder folder;
    const auto make = [&](const std::string& name, const std::string& seed) {
        const auto card = folder.path() / name;
        EXPECT_EQ(runMkcard({"--rule", kRules + "FileNameRule_A.ini", "--out", card.string(),
                             "--seconds", "1", "--size", "320x240", "--channels", "2", "--content",
                             "camera", "--seed", seed}),
                  0);
        const auto paths = manifestPaths(card);
        EXPECT_EQ(paths.size(), 2U);
        return paths.size() == 2 ? readAll(paths[0]) + readAll(paths[1]) : std::string();
    };
    const std::string first = make("first", "7");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == make("again", "7"));
    EXPECT_FALSE(first == make("other", "8"));
}

TEST(Mkcard, RefusesBadOptions) {
    EXPECT_EQ(runMkcard({"--rule", kRules + "FileNameRule_A.ini"}), 2);
    EXPECT_EQ(runMkcard({"--rule", "x", "--out", "y", "--channels", "4"}), 2);
    EXPECT_EQ(runMkcard({"--rule", "x", "--out", "y", "--damage", "fire"}), 2);
    EXPECT_EQ(runMkcard({"--rule", "x", "--out", "y", "--content", "sketch"}), 2);
    const TempFolder folder;
    EXPECT_EQ(runMkcard({"--rule", (folder.path() / "none.ini").string(), "--out", folder.path().string()}), 1);
}

TEST(DriveSimulator, PositionsSpeedsAndForcesAgree) {
    mkcard::DriveSimulator drive(48.1372, 11.5756, 3);
    constexpr double dt = 1.0 / 30;
    double maxBrake = 0;
    double maxBump = 0;
    double maxLateral = 0;
    int stoppedFrames = 0;
    for (int frame = 0; frame < 30 * 120; ++frame) {
        const mkcard::DriveState before = drive.state();
        const mkcard::DriveState& after = drive.step(dt);
        // Distance between fixes matches the mean speed over the step.
        const double north = (after.latitude - before.latitude) * 111195.0;
        const double east = (after.longitude - before.longitude) * 111195.0 * std::cos(after.latitude * M_PI / 180);
        const double travelled = std::hypot(north, east);
        EXPECT_NEAR(travelled, (before.speedKmh + after.speedKmh) / 3.6 / 2 * dt, 0.01);
        EXPECT_NEAR(after.gx, (after.speedKmh - before.speedKmh) / 3.6 / dt / 9.80665, 1e-9);
        maxBrake = std::max(maxBrake, -after.gx);
        maxBump = std::max(maxBump, after.gz - 1);
        maxLateral = std::max(maxLateral, std::fabs(after.gy));
        stoppedFrames += after.speedKmh == 0 ? 1 : 0;
    }
    EXPECT_GT(maxBrake, 0.5);     // the hard brake
    EXPECT_GT(maxBump, 0.5);      // the bump
    EXPECT_GT(maxLateral, 0.1);   // the turns
    EXPECT_GT(stoppedFrames, 30 * 5);
}

TEST(DriveSimulator, RecordKindsCarryTheirFields) {
    mkcard::DriveSimulator drive(-33.8688, -151.2093, 1);
    for (int i = 0; i < 30 * 20; ++i) {
        drive.step(1.0 / 30);
    }
    const std::int64_t utcMs = 1709211909250;
    const std::string compact = mkcard::drivingRecord(72, drive.state(), utcMs);
    ASSERT_EQ(compact.size(), 72U);
    float speed = 0;
    float latitude = 0;
    float longitude = 0;
    std::uint16_t millisecond = 0;
    std::memcpy(&speed, compact.data() + 56, 4);
    std::memcpy(&latitude, compact.data() + 60, 4);
    std::memcpy(&longitude, compact.data() + 64, 4);
    std::memcpy(&millisecond, compact.data() + 26, 2);
    EXPECT_NEAR(speed, drive.state().speedKmh, 1e-3);
    EXPECT_NEAR(latitude, -3352.128, 0.5);   // south: negative ddmm.mmmm
    EXPECT_NEAR(longitude, -15112.558, 0.5);  // west
    EXPECT_EQ(millisecond, 250);
    const std::string vehicle = mkcard::drivingRecord(57, drive.state(), utcMs);
    ASSERT_EQ(vehicle.size(), 57U);
    EXPECT_GT(static_cast<unsigned char>(vehicle[4]), 44);
    EXPECT_EQ(static_cast<unsigned char>(vehicle[37]), static_cast<unsigned char>(std::lround(drive.state().speedKmh)));
    EXPECT_EQ(mkcard::drivingRecord(80, drive.state(), utcMs).size(), 80U);
}

TEST(TachyPlay, PlaysACardAndReportsWhatItShowed) {
    const TempFolder folder;
    const auto card = folder.path() / "card";
    ASSERT_EQ(runMkcard({"--rule", kRules + "FileNameRule_B.ini", "--out", card.string(), "--channels", "2",
                         "--seconds", "1", "--size", "64x48"}),
              0);
    bool ok = false;
    const std::string report = tachy::test::runCommand(std::string(TACHY_PLAY) + " '" + card.string() + "'", &ok);
    EXPECT_TRUE(ok) << report;
    EXPECT_NE(report.find("channel 0: 30 pictures, first 1709211909000, last 1709211909966"), std::string::npos)
        << report;
    EXPECT_NE(report.find("channel 1: 30 pictures"), std::string::npos) << report;
    EXPECT_NE(report.find("real-time factor: "), std::string::npos);
    bool failed = true;
    tachy::test::runCommand(std::string(TACHY_PLAY) + " '" + (folder.path() / "empty").string() + "' 2>&1", &failed);
    EXPECT_FALSE(failed);  // no recordings: a non-zero exit
}
