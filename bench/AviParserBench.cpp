// The recording parser on a generated card: opening, indexing and reading every video frame,
// audio block and driving-data record, against libavformat reading every packet of the same
// files; and the quick duration of many files against a plain stat walk over them.

#include "bench/BenchTimer.h"
#include "tools/mkcard/CardGenerator.h"
#include "util/avi/CAviParser2.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

std::vector<std::string> cardFiles(const std::filesystem::path& card) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(card)) {
        if (entry.path().extension() == ".avi") {
            files.push_back(entry.path().string());
        }
    }
    return files;
}

std::size_t readWithParser(CAviParser2& parser, const std::string& path) {
    std::size_t bytes = 0;
    parser.OpenStream(path, 0);
    parser.OpenVideoStream(0);
    parser.SetStreamPosVideo(0);
    tachy::avi::BitmapInfoHeader bih{};
    while (parser.GetVideoHeader(&bih, nullptr, nullptr, nullptr) == 1) {
        bytes += bih.biSizeImage;
    }
    if (parser.OpenAudioStream() == 1) {
        parser.SetStreamPosAudio(0);
        std::uint32_t size = 0;
        while (parser.GetAudioHeader(nullptr, nullptr, &size) == 1) {
            bytes += size;
        }
    }
    if (parser.OpenUserStream() == 1) {
        std::uint32_t size = 0;
        for (int i = 0; parser.ReadUserData(i, &size) != nullptr; ++i) {
            bytes += size;
        }
    }
    parser.CloseStream();
    return bytes;
}

std::size_t readWithLibavformat(const std::string& path) {
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), av_find_input_format("avi"), nullptr) < 0) {
        return 0;
    }
    std::size_t bytes = 0;
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(context, packet) >= 0) {
        bytes += static_cast<std::size_t>(packet->size);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&context);
    return bytes;
}

// Reads every file with both readers and reports the ratio under `name`; false when either
// read nothing.
bool compareOn(const char* name, const std::vector<std::string>& files) {
    CAviParser2 parser;
    std::size_t ours = 0;
    std::size_t theirs = 0;
    const double parserTime = tachy::bench::medianMilliseconds(7, [&] {
        ours = 0;
        for (const auto& file : files) {
            ours += readWithParser(parser, file);
        }
    });
    const double libavTime = tachy::bench::medianMilliseconds(7, [&] {
        theirs = 0;
        for (const auto& file : files) {
            theirs += readWithLibavformat(file);
        }
    });
    tachy::bench::report(name, parserTime, libavTime, "libavformat av_read_frame");
    return ours != 0 && theirs != 0;
}

// Files other programs wrote: FFmpeg's AVI muxer (H.264 with mu-law, HEVC with PCM, one without
// index) and GStreamer's avimux (H.264 with mu-law). Empty when the tools are missing.
std::vector<std::string> foreignFiles(const std::filesystem::path& folder, bool gstreamer) {
    const std::string ffmpeg = "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
                               "testsrc=size=640x360:rate=30 -f lavfi -i sine=sample_rate=16000 -t 20 ";
    const auto out = [&](const char* name) { return (folder / name).string(); };
    const std::vector<std::pair<std::string, std::string>> commands =
        gstreamer ? std::vector<std::pair<std::string, std::string>>{
                        {out("gst_h264_mulaw.avi"),
                         "gst-launch-1.0 -q videotestsrc num-buffers=600 ! "
                         "video/x-raw,width=640,height=360,framerate=30/1 ! x264enc key-int-max=30 ! "
                         "queue ! mux. audiotestsrc num-buffers=400 ! audio/x-raw,rate=8000,channels=1 ! "
                         "mulawenc ! queue ! mux. avimux name=mux ! filesink location=" +
                             out("gst_h264_mulaw.avi")}}
                  : std::vector<std::pair<std::string, std::string>>{
                        {out("ffmpeg_h264_mulaw.avi"), ffmpeg + "-c:v libx264 -g 30 -c:a pcm_mulaw -f avi " +
                                                           out("ffmpeg_h264_mulaw.avi")},
                        {out("ffmpeg_hevc_pcm.avi"),
                         ffmpeg + "-c:v libx265 -x265-params log-level=error:keyint=30 -tag:v HEVC "
                                  "-c:a pcm_s16le -f avi " + out("ffmpeg_hevc_pcm.avi")},
                        {out("ffmpeg_no_index.avi"), ffmpeg + "-c:v libx264 -g 30 -c:a pcm_mulaw -f avi pipe:1 > " +
                                                         out("ffmpeg_no_index.avi")}};
    std::vector<std::string> files;
    for (const auto& [path, command] : commands) {
        if (std::system(command.c_str()) == 0) {
            files.push_back(path);
        }
    }
    return files;
}

} // namespace

int main() {
    av_log_set_level(AV_LOG_ERROR);
    const std::filesystem::path card =
        std::filesystem::temp_directory_path() / ("tachy-bench-card-" + std::to_string(::getpid()));
    mkcard::CardOptions options;
    options.rule = std::filesystem::path(TACHY_DATA_DIR) / "_option" / "FileNameRule_A.ini";
    options.out = card;
    options.channels = 2;
    options.seconds = 120;
    options.width = 640;
    options.height = 360;
    std::string error;
    if (!mkcard::generateCard(options, error)) {
        std::fprintf(stderr, "bench: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> files = cardFiles(card);
    CAviParser2 parser;
    std::size_t ours = 0;
    std::size_t theirs = 0;
    const double parserTime = tachy::bench::medianMilliseconds(7, [&] {
        ours = 0;
        for (const auto& file : files) {
            ours += readWithParser(parser, file);
        }
    });
    const double libavTime = tachy::bench::medianMilliseconds(7, [&] {
        theirs = 0;
        for (const auto& file : files) {
            theirs += readWithLibavformat(file);
        }
    });
    tachy::bench::report("avi_read_card_4_files_7200_frames", parserTime, libavTime,
                         "libavformat av_read_frame");

    // The catalogue sizes many files: the same files over and over, as a card of 400 files.
    constexpr int kRounds = 100;
    std::uint64_t total = 0;
    const double durationTime = tachy::bench::medianMilliseconds(7, [&] {
        for (int round = 0; round < kRounds; ++round) {
            for (const auto& file : files) {
                total += parser.GetDuration(file);
            }
        }
    });
    const double statTime = tachy::bench::medianMilliseconds(7, [&] {
        for (int round = 0; round < kRounds; ++round) {
            for (const auto& file : files) {
                struct stat status {};
                ::stat(file.c_str(), &status);
                total += static_cast<std::uint64_t>(status.st_size);
            }
        }
    });
    tachy::bench::report("avi_get_duration_400_files", durationTime, statTime, "stat walk");

    std::filesystem::create_directories(card / "foreign");
    const auto ffmpegFiles = foreignFiles(card / "foreign", false);
    const auto gstreamerFiles = foreignFiles(card / "foreign", true);
    const bool foreignRead = !ffmpegFiles.empty() && !gstreamerFiles.empty() &&
                             compareOn("avi_read_ffmpeg_3_files_1800_frames", ffmpegFiles) &&
                             compareOn("avi_read_gstreamer_1_file_600_frames", gstreamerFiles);
    std::filesystem::remove_all(card);
    if (ours == 0 || theirs == 0 || total == 0 || !foreignRead) {
        std::fprintf(stderr, "bench: nothing was read\n");
        return 1;
    }
    return 0;
}
