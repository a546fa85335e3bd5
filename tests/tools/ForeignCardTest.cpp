// A card whose recordings went through another program's AVI writer, as when a user copies
// recordings with a video tool: FFmpeg's muxer with and without an index, and GStreamer's
// avimux. The engine plays every camera with its sound from such a card, as from the
// recorder's own files.

#include "tests/support/Command.h"
#include "tests/support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kRules = std::string(TACHY_DATA_DIR) + "/_option/";

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// A two-camera card with mu-law sound: two files of 2 s per camera.
std::filesystem::path makeCard(const std::filesystem::path& folder) {
    const auto card = folder / "card";
    bool ok = false;
    const std::string output = tachy::test::runCommand(std::string(TACHY_MKCARD) + " --rule " + kRules +
                                                           "FileNameRule_A.ini --out " + quoted(card) +
                                                           " --channels 2 --seconds 4 --period 2 --audio mulaw 2>&1",
                                                       &ok);
    EXPECT_TRUE(ok) << output;
    return card;
}

// Rewrites every recording of the card with `rewrite` (a shell command with IN and OUT).
void rewriteRecordings(const std::filesystem::path& card, const std::string& rewrite) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(card)) {
        if (entry.path().extension() != ".avi") {
            continue;
        }
        const std::filesystem::path out = entry.path().string() + ".new";
        std::string command = rewrite;
        command.replace(command.find("IN"), 2, quoted(entry.path()));
        command.replace(command.find("OUT"), 3, quoted(out));
        bool ok = false;
        const std::string output = tachy::test::runCommand(command + " 2>&1", &ok);
        ASSERT_TRUE(ok && std::filesystem::file_size(out) > 0) << command << "\n" << output;
        std::filesystem::rename(out, entry.path());
    }
}

void expectPlaysEveryCameraWithSound(const std::filesystem::path& card) {
    bool ok = false;
    const std::string report = tachy::test::runCommand(std::string(TACHY_PLAY) + " " + quoted(card) + " 2>&1", &ok);
    EXPECT_TRUE(ok) << report;
    EXPECT_NE(report.find("channel 0: 120 pictures"), std::string::npos) << report;
    EXPECT_NE(report.find("channel 1: 120 pictures"), std::string::npos) << report;
    EXPECT_NE(report.find("sound blocks accepted: 40"), std::string::npos) << report;
}

TEST(ForeignCard, RecordingsRewrittenByFfmpegPlayWithEveryCameraAndSound) {
    const tachy::test::TempFolder folder;
    const auto card = makeCard(folder.path());
    rewriteRecordings(card, "ffmpeg -v error -y -i IN -map 0:v -map 0:a -c copy -f avi OUT");
    expectPlaysEveryCameraWithSound(card);
}

TEST(ForeignCard, RecordingsWrittenByFfmpegWithoutAnIndexPlayToo) {
    const tachy::test::TempFolder folder;
    const auto card = makeCard(folder.path());
    // Written to a pipe, the muxer cannot go back for the index: no idx1, zero lengths.
    rewriteRecordings(card, "ffmpeg -v error -y -i IN -map 0:v -map 0:a -c copy -f avi pipe:1 > OUT");
    expectPlaysEveryCameraWithSound(card);
}

TEST(ForeignCard, RecordingsRewrittenByGStreamerPlayWithEveryCameraAndSound) {
    const tachy::test::TempFolder folder;
    const auto card = makeCard(folder.path());
    rewriteRecordings(card, "gst-launch-1.0 -q filesrc location=IN ! avidemux name=d d.video_0 ! queue ! h264parse ! "
                            "avimux name=m ! filesink location=OUT d.audio_0 ! queue ! m.");
    expectPlaysEveryCameraWithSound(card);
}

} // namespace
